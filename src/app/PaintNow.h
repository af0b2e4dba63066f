#pragma once
class QWidget;

// Draws a shown window at once, while its thread is about to block (the list
// read at start-up): it waits, briefly, for the display to expose the window,
// then paints it. A window that is not shown is left alone.
void paintNow(QWidget& window);
