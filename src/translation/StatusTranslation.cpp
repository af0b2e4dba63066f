#include "StatusTranslation.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <vector>

#include "StatusTextList.h"

namespace translation {
namespace {

constexpr char kContext[] = "StatusText";
const QString kAppended = QStringLiteral("\r\n");

struct Pattern {
  QRegularExpression match;
  const char* source;
};

// printf conversions as the texts use them: "%d", "%s", "%0x", "%02X", ...
const QRegularExpression& conversion() {
  static const QRegularExpression re(QStringLiteral("%[-+ #0]*\\d*(?:\\.\\d+)?(?:hh|h|ll|l|z)?([diuxXs%])"));
  return re;
}

QString capture(QChar kind) {
  if (kind == u's') return QStringLiteral("(.*)");
  if (kind == u'x' || kind == u'X') return QStringLiteral("([0-9a-fA-F]+)");
  return QStringLiteral("([-+]?\\d+)");
}

// Letters are matched in either case: a text may be shown in capitals
// ("0X1A2B" from "0x%0x").
std::vector<Pattern> buildPatterns() {
  std::vector<Pattern> patterns;
  for (const char* source : statusTexts()) {
    const QString text = QString::fromUtf8(source);
    QString re;
    qsizetype at = 0;
    bool formatted = false;
    for (auto it = conversion().globalMatch(text); it.hasNext();) {
      const auto m = it.next();
      re += QRegularExpression::escape(text.mid(at, m.capturedStart() - at));
      const QChar kind = m.captured(1).at(0);
      re += kind == u'%' ? QStringLiteral("%") : capture(kind);
      formatted = formatted || kind != u'%';
      at = m.capturedEnd();
    }
    if (!formatted) continue;
    re += QRegularExpression::escape(text.mid(at));
    patterns.push_back(
        {QRegularExpression(QRegularExpression::anchoredPattern(re), QRegularExpression::CaseInsensitiveOption),
         source});
  }
  return patterns;
}

const std::vector<Pattern>& patterns() {
  static const std::vector<Pattern> all = buildPatterns();
  return all;
}

// "%1", "%2", ... of a translation, each replaced in one pass by its value.
QString filled(const QString& translation, const QRegularExpressionMatch& values) {
  QString out;
  for (qsizetype i = 0; i < translation.size(); ++i) {
    const QChar c = translation.at(i);
    if (c == u'%' && i + 1 < translation.size() && translation.at(i + 1).isDigit()) {
      out += values.captured(translation.at(i + 1).digitValue());
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

QString translatedBody(const QString& body) {
  const QByteArray utf8 = body.toUtf8();
  QString exact = QCoreApplication::translate(kContext, utf8.constData());
  if (exact != body) return exact;
  for (const Pattern& p : patterns()) {
    const auto m = p.match.match(body);
    if (!m.hasMatch()) continue;
    const QString translation = QCoreApplication::translate(kContext, p.source);
    return translation == QString::fromUtf8(p.source) ? body : filled(translation, m);
  }
  return body;
}

}  // namespace

QString translatedStatus(std::string_view text) {
  const QString whole = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (!whole.startsWith(kAppended)) return translatedBody(whole);
  return kAppended + translatedBody(whole.mid(kAppended.size()));
}

}  // namespace translation
