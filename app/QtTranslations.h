#pragma once
// Qt's own texts (the buttons of message boxes, the labels and column
// headers of the file dialogs, the edits' context menus) in the interface
// language, from the translations Qt ships.

// Installs Qt's translation for a language number, replacing the one
// installed before; numbers without one (English, "Custom") leave Qt's
// English texts. Open windows retranslate themselves on the next pass of
// the event loop. Returns whether a translation is installed.
bool ApplyQtTranslations(int languageNumber);
