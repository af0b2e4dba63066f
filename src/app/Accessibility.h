#pragma once
#include <QString>
#include <functional>

class QTableView;
class QWidget;

// Enter or Space on the table's current row selects it and acts as a click
// on it: the keyboard reaches every entry the mouse does.
void selectRowsByKeyboard(QTableView* table, std::function<void()> selected);

// Tells assistive technology what a change of the status line added, so that
// a screen reader speaks it without the user moving there.
void announceStatus(QWidget* statusLine, const QString& added);
// Where announcements go instead, for tests: Qt delivers accessibility events
// only while a screen reader is attached, which a test cannot arrange.
using StatusAnnouncer = void (*)(QWidget* statusLine, const QString& announcement);
void setStatusAnnouncer(StatusAnnouncer announcer);
