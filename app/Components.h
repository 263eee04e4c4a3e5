#pragma once
// The components a window owns, in creation order, each named by its
// component name (objectName). Texts are applied to them by name later, so
// the order and the names are part of the window's contract.

#include <QFont>
#include <QObject>
#include <QString>
#include <vector>

class TComponentList {
public:
    // Names component and appends it; returns it for chaining.
    template <class T>
    T* Own(T* component, const char* name) {
        component->setObjectName(QString::fromLatin1(name));
        components_.push_back(component);
        return component;
    }
    const std::vector<QObject*>& Components() const { return components_; }

private:
    std::vector<QObject*> components_;
};

// The designed face of the dialogs: "ＭＳ Ｐゴシック" at 12 pixels (the
// application maps the face to an installed Japanese font).
QFont DesignedDialogFont();
