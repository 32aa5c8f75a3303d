#pragma once

#include <QApplication>

namespace velloran {

// Loads the toolkit's own Japanese texts (the standard buttons and file dialogs) when
// they are installed, so that every dialog speaks the program's language.
void LoadStandardTexts(QApplication& application);

}  // namespace velloran
