#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "app/EvtScroll.h"
#include "app/NumEdit.h"
#include "app/dlgPrefix.h"
#include "app/dlgSampleOutputFormat.h"

namespace {

TEST(NumEdit, KeyFilterLetsThroughDigitsBackspaceAndPasteOnly) {
    TNumEdit edit;
    QTest::keyClicks(&edit, QStringLiteral("1a2-3. +"));
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    QTest::keyClick(&edit, Qt::Key_Left);  // moving is no typing: not filtered
    QTest::keyClick(&edit, Qt::Key_9);
    EXPECT_EQ(edit.text(), QStringLiteral("192"));

    QApplication::clipboard()->setText(QStringLiteral("x7"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("x7")) << "Ctrl+C must be discarded";
    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("192")) << "Ctrl+X must be discarded";
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("x7")) << "pasting is how text that is not a number arrives";
}

TEST(NumEdit, ColumnAndZeroPadding) {
    TNumEdit edit;
    EXPECT_EQ(edit.Column(), 0);
    EXPECT_FALSE(edit.ZeroPadding());
    edit.setText(QStringLiteral("007"));
    EXPECT_EQ(edit.Column(), 3);
    EXPECT_TRUE(edit.ZeroPadding());
    edit.setText(QStringLiteral("70"));
    EXPECT_FALSE(edit.ZeroPadding());
    EXPECT_EQ(edit.property("Column").toInt(), 2);
}

class EventScrollBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box_.resize(200, 150);
        content_ = new QWidget;
        content_->setFixedSize(1000, 1000);
        box_.setWidget(content_);
        box_.OnScrollHorz = [this](QObject* sender) {
            EXPECT_EQ(sender, &box_);
            horizontal_.push_back(box_.horizontalScrollBar()->value());
        };
        box_.OnScrollVert = [this](QObject*) { vertical_.push_back(box_.verticalScrollBar()->value()); };
        box_.show();
        QApplication::processEvents();
    }
    void Wheel(QWidget* target, int delta) {
        QWheelEvent event(QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
        QApplication::processEvents();
    }

    TEventScrollBox box_;
    QWidget* content_ = nullptr;
    std::vector<int> horizontal_, vertical_;
};

TEST_F(EventScrollBoxTest, ScrollBarActionsRaiseTheirEventAfterScrolling) {
    box_.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    box_.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    ASSERT_EQ(vertical_.size(), 2u);
    EXPECT_GT(vertical_[0], 0);
    EXPECT_GT(vertical_[1], vertical_[0]);
    EXPECT_TRUE(horizontal_.empty());

    // Dragging the horizontal thumb: one event per step, each after the move.
    QScrollBar* bar = box_.horizontalScrollBar();
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    option.subControls = QStyle::SC_All;
    const QPoint thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar).center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, thumb);
    for (int step = 1; step <= 3; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(thumb + QPoint(8 * step, 0)),
                         bar->mapToGlobal(QPointF(thumb + QPoint(8 * step, 0))), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        QApplication::processEvents();
    }
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(24, 0));
    QApplication::processEvents();
    ASSERT_GE(horizontal_.size(), 3u);
    EXPECT_GT(horizontal_.back(), 0);
    EXPECT_EQ(horizontal_.back(), bar->value());
}

TEST_F(EventScrollBoxTest, WheelAndPositionChangesRaiseNothing) {
    box_.verticalScrollBar()->setValue(100);
    Wheel(box_.viewport(), -120);
    Wheel(box_.verticalScrollBar(), -120);
    QApplication::processEvents();
    EXPECT_GT(box_.verticalScrollBar()->value(), 100) << "the wheel still scrolls";
    EXPECT_TRUE(vertical_.empty());
    EXPECT_TRUE(horizontal_.empty());
}

TEST_F(EventScrollBoxTest, WheelNotchesGoToTheHandlersOverTheBoxAndItsBars) {
    std::vector<int> notches;
    box_.OnMouseWheelDown = [&](QObject*, Qt::KeyboardModifiers, QPoint, bool& handled) {
        notches.push_back(+1);
        handled = true;
    };
    box_.OnMouseWheelUp = [&](QObject*, Qt::KeyboardModifiers, QPoint, bool& handled) {
        notches.push_back(-1);
        handled = true;
    };
    Wheel(box_.viewport(), -240);
    Wheel(box_.verticalScrollBar(), 120);
    Wheel(box_.viewport(), -60);  // half a notch waits for the other half
    EXPECT_EQ(notches, (std::vector<int>{1, 1, -1}));
    Wheel(box_.viewport(), -60);
    EXPECT_EQ(notches, (std::vector<int>{1, 1, -1, 1}));
    EXPECT_EQ(box_.verticalScrollBar()->value(), 0) << "handled notches do not scroll by themselves";
}

TEST(OptionDialogs, SampleOutputFormatComponents) {
    TFormSampleOutputFormat dialog(nullptr);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("FormSampleOutputFormat"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("出力形式"));
    EXPECT_EQ(dialog.size(), QSize(311, 226));
    std::vector<QString> names;
    for (QObject* c : dialog.Components()) names.push_back(c->objectName());
    EXPECT_EQ(names, (std::vector<QString>{"GBOutputFormat", "RBJPEG420", "RBJPEG444", "RBPNG", "GBJPEGQuality",
                                           "EditJPEGQuality", "ButtonOK"}));
    EXPECT_EQ(dialog.GBOutputFormat->title(), QStringLiteral("サンプル一覧の出力形式"));
    EXPECT_EQ(dialog.GBOutputFormat->geometry(), QRect(16, 8, 281, 97));
    EXPECT_EQ(dialog.RBJPEG420->text(), QStringLiteral("JPEG サンプリング比 4:2:0 ( IJG default )"));
    EXPECT_EQ(dialog.RBJPEG444->geometry(), QRect(16, 48, 233, 17));
    EXPECT_TRUE(dialog.RBPNG->isChecked());
    EXPECT_EQ(dialog.GBJPEGQuality->title(), QStringLiteral("JPEG品質"));
    EXPECT_EQ(dialog.EditJPEGQuality->text(), QStringLiteral("90"));
    EXPECT_EQ(dialog.ButtonOK->geometry(), QRect(224, 184, 75, 25));
    EXPECT_EQ(dialog.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(dialog.font().pixelSize(), 12);

    dialog.RBJPEG444->setChecked(true);
    EXPECT_FALSE(dialog.RBPNG->isChecked());
    QTimer::singleShot(0, dialog.ButtonOK, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    QTimer::singleShot(0, &dialog, &QDialog::close);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected) << "closing without OK cancels";
}

TEST(OptionDialogs, PrefixComponents) {
    TFormPrefix dialog(nullptr);
    EXPECT_EQ(dialog.objectName(), QStringLiteral("FormPrefix"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ファイルの命名規則"));
    EXPECT_EQ(dialog.size(), QSize(228, 144));
    std::vector<QString> names;
    for (QObject* c : dialog.Components()) names.push_back(c->objectName());
    EXPECT_EQ(names, (std::vector<QString>{"CBPrefix", "EditPrefix", "CBSuffix", "EditSuffix", "ButtonOK",
                                           "ButtonCancel"}));
    EXPECT_EQ(dialog.CBPrefix->text(), QStringLiteral("接頭語 ( prefix )"));
    EXPECT_EQ(dialog.CBSuffix->text(), QStringLiteral("接尾語 ( suffix )"));
    EXPECT_EQ(dialog.EditSuffix->geometry(), QRect(16, 80, 121, 20));
    EXPECT_EQ(dialog.ButtonCancel->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(dialog.EditPrefix->text().isEmpty());
    QTimer::singleShot(0, dialog.ButtonCancel, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    QTimer::singleShot(0, dialog.ButtonOK, &QPushButton::click);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}
}  // namespace
