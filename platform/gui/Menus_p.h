#pragma once
// Private to platform/gui and its tests: the Qt widgets that show menus, under names of the
// layer's own so the public header names no Qt class.
#include "gui/Menus.h"

#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>

// A main menu's bar on its form.
class TMenuBarWidget : public QMenuBar {
public:
  using QMenuBar::QMenuBar;
};

// A popup menu while it is shown.
class TPopupQMenu : public QMenu {
public:
  using QMenu::QMenu;
};
