// The colour preview page: the lines of "preview.html" and the text handed to the preview view.
#include "app/ColorPreview.h"

#include <QRegularExpression>

#include "core/TextFile.h"
#include "pages/ColorToHex.h"

namespace fotoloom {

std::vector<std::string> PreviewLines(const GallerySettings& settings) {
  const auto quoted = [](Color c) { return "\"#" + Color_to_hex(c) + "\""; };
  return {
      "<HTML>",
      "<HEAD>",
      "<TITLE>",
      "Preview",
      "</TITLE>",
      "<style type=\"text/css\" media=\"screen\">",
      "body {  background-color:" + Color_to_hex(settings.BackgroundColor()) + ";",
      "font-family:verdana,sans-serif;",
      "line-height:140%;",
      "}",
      "</style>",
      "</HEAD>",
      "<BODY>",
      "<pre>",
      "<font color=" + quoted(settings.TextColor()) + ">Text Color</font>",
      "<u><font color=" + quoted(settings.LinkColor()) + ">normal Link</font></u>",
      "<u><font color=" + quoted(settings.VisitedLinkColor()) + ">visited Link</font></u>",
      "</pre>",
      "</BODY>",
      "</HTML>",
  };
}

std::string WritePreviewFile(const std::string& folder, const GallerySettings& settings) {
  const std::string path = folder + "preview.html";
  WriteTextFile(path, PreviewLines(settings));
  return path;
}

QString NormalizeForTextView(const QString& html) {
  // Inside <style>, "<!--" and "-->" only hide the rules from very old
  // browsers; the Qt view drops the whole sheet when they are there.
  static const QRegularExpression styleBlock(
      QStringLiteral("(<style[^>]*>)(.*?)(</style>)"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression commentMarks(QStringLiteral("<!--|-->"));
  QString result;
  qsizetype last = 0;
  for (auto it = styleBlock.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    QString body = m.captured(2);
    body.remove(commentMarks);
    result += html.mid(last, m.capturedStart() - last) + m.captured(1) + body + m.captured(3);
    last = m.capturedEnd();
  }
  result += html.mid(last);
  // A browser ignores a line break right after <pre>; the Qt view shows it as
  // a blank first line, which pushes the last line against the panel's edge.
  static const QRegularExpression preBreak(QStringLiteral("(<pre(?:\\s[^>]*)?>)\\r?\\n"),
                                           QRegularExpression::CaseInsensitiveOption);
  result.replace(preBreak, QStringLiteral("\\1"));
  // Browsers take "color:FF0000" as "#FF0000"; the Qt view does not.
  static const QRegularExpression bareHex(QStringLiteral("(color\\s*:\\s*)([0-9A-Fa-f]{6})(?![0-9A-Za-z])"),
                                          QRegularExpression::CaseInsensitiveOption);
  result.replace(bareHex, QStringLiteral("\\1#\\2"));
  return result;
}

}  // namespace fotoloom
