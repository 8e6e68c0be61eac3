// The walk over a window's controls that puts the language file's texts into them.
#pragma once

class QWidget;

namespace mdlI18n {
// Replaces the texts of every control of a window, with the window's object name as section.
//
// Controls are the objects below the window, visited depth-first, each before its children,
// children in QObject::children() order; other windows below it (dialogs) are not entered,
// popup menus are. A control is found by its object name; objects without one, and Qt's own
// parts (names starting "qt_" or "_q_"), are passed over, their children still visited. A
// control whose dynamic property "Tag" is "NOLOC" (in any case) keeps its texts.
//
// Kinds: QPushButton "CommandButton", QGroupBox "Frame", QLabel "Label" (one that shows a
// pixmap is a picture and has no texts), QRadioButton "OptionButton", QCheckBox "CheckBox",
// QLineEdit "TextBox", QTabBar and QTabWidget "TabStrip", QAction and QMenu "Menu"; subclasses
// count as their base. A tab's key is the QString in its tab data (QTabBar::setTabData; for a
// QTabWidget, on its tabBar()).
//
// Texts are shown as plain text: labels get Qt::PlainText, tool tips that would pass for markup
// are shown escaped, and a line break from the file shows as a line break.
void LocalizeForm(QWidget *form);
}
