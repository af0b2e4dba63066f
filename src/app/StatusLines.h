#pragma once
#include <QString>

// The text from the start of its last `count` lines ("\r\n" separated).
QString lastLines(const QString& text, int count);
