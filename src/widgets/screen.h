// Window placement shared by the program's windows and message boxes.
#pragma once

class QWidget;

// Moves a window so that its frame stands in the middle of the primary screen's free area.
void centreOnScreen(QWidget *window);
