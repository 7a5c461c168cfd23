// The wizard's fonts: the families its fixed pixel layout fits, and smaller text where a caption would be cut off.
#include "app/WizardFonts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <optional>

namespace fotoloom {
namespace {

// Where a control draws its text (area, in the control's coordinates) and how
// much room the text needs there.
struct TextPlace {
  QRect area;
  QSize needed;
  Qt::Alignment alignment;
};

std::optional<TextPlace> LabelPlace(const QLabel& label) {
  if (label.text().isEmpty() || label.textFormat() == Qt::RichText) return std::nullopt;
  const int m = label.margin();
  const QRect area = label.contentsRect().adjusted(m, m, -m, -m);
  const QFontMetrics fm = label.fontMetrics();
  const QSize needed = label.wordWrap() ? fm.boundingRect(QRect(0, 0, area.width(), 1 << 20),
                                                          int(label.alignment()) | Qt::TextWordWrap, label.text())
                                              .size()
                                        : fm.size(0, label.text());
  return TextPlace{area, needed, label.alignment()};
}

std::optional<TextPlace> ButtonPlace(const QAbstractButton& button) {
  if (button.text().isEmpty()) return std::nullopt;
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  option.icon = button.icon();
  option.iconSize = button.iconSize();
  QSize needed = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
  if (qobject_cast<const QPushButton*>(&button)) {
    // The icon stands left of the text with a small gap, both centred.
    if (!button.icon().isNull()) needed.rwidth() += button.iconSize().width() + 4;
    const QRect area = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return TextPlace{area, needed, Qt::AlignCenter};
  }
  const bool radio = qobject_cast<const QRadioButton*>(&button) != nullptr;
  if (!radio && !qobject_cast<const QCheckBox*>(&button)) return std::nullopt;  // a tool button sizes itself
  const QStyle::SubElement contents = radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents;
  const QRect area = button.style()->subElementRect(contents, &option, &button);
  // Qt keeps 4 pixels around the label of a check box or radio button (its size hint).
  needed.rwidth() += 4;
  return TextPlace{area, needed, Qt::AlignLeft | Qt::AlignVCenter};
}

std::optional<TextPlace> GroupBoxPlace(const QGroupBox& box) {
  if (box.title().isEmpty()) return std::nullopt;
  QStyleOptionGroupBox option;
  option.initFrom(&box);
  option.text = box.title();
  option.lineWidth = 1;
  option.textAlignment = box.alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  const QRect title = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
  // The title may use the width of the box less the same margin on both sides.
  const QRect area(title.left(), title.top(), box.width() - 2 * title.left(), title.height());
  return TextPlace{area, title.size(), Qt::AlignLeft | Qt::AlignTop};
}

std::optional<TextPlace> ComboBoxPlace(const QComboBox& combo) {
  if (combo.count() == 0) return std::nullopt;
  // The box's own size hint is the room its widest item needs, frame and arrow included.
  return TextPlace{combo.rect(), combo.sizeHint(), Qt::AlignLeft | Qt::AlignTop};
}

// The tabs of a tab control stand side by side in its width less its corner controls.
std::optional<TextPlace> TabBarPlace(const QTabBar& bar) {
  const auto* tabs = qobject_cast<const QTabWidget*>(bar.parentWidget());
  if (!tabs || bar.count() == 0) return std::nullopt;
  int width = tabs->width();
  for (Qt::Corner corner : {Qt::TopLeftCorner, Qt::TopRightCorner})
    if (const QWidget* inCorner = tabs->cornerWidget(corner); inCorner && !inCorner->isHidden())
      width -= inCorner->sizeHint().width();
  return TextPlace{QRect(0, 0, width, bar.sizeHint().height()), bar.sizeHint(), Qt::AlignLeft | Qt::AlignTop};
}

std::optional<TextPlace> PlaceOf(const QWidget& widget) {
  if (const auto* bar = qobject_cast<const QTabBar*>(&widget)) return TabBarPlace(*bar);
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return LabelPlace(*label);
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return ButtonPlace(*button);
  if (const auto* box = qobject_cast<const QGroupBox*>(&widget)) return GroupBoxPlace(*box);
  if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) return ComboBoxPlace(*combo);
  return std::nullopt;
}

QFont FontOf(const QString& family, QFont::StyleHint hint, int pixelSize, bool bold) {
  QFont font(family);
  font.setStyleHint(hint);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

// Where widget draws its text, in its parent's coordinates.
QRect TextRectInParent(const QWidget& widget, const TextPlace& place) {
  return QStyle::alignedRect(widget.layoutDirection(), place.alignment, place.needed, place.area)
      .translated(widget.pos());
}

// The text fits its area, stays inside the parent, and meets neither another
// shown control beside it nor the text of a label beside it (a label's empty
// part covers nothing).
bool Fits(const QWidget& widget, const TextPlace& place) {
  if (place.needed.width() > place.area.width() || place.needed.height() > place.area.height()) return false;
  const QWidget* parent = widget.parentWidget();
  if (!parent || widget.isWindow() || qobject_cast<const QTabBar*>(&widget)) return true;
  const QRect text = TextRectInParent(widget, place);
  if (!parent->rect().contains(text)) return false;
  for (const QObject* child : parent->children()) {
    const auto* other = qobject_cast<const QWidget*>(child);
    if (!other || other == &widget || other->isHidden() || other->isWindow()) continue;
    QRect taken = other->geometry();
    if (const auto* label = qobject_cast<const QLabel*>(other)) {
      const std::optional<TextPlace> labelPlace = LabelPlace(*label);
      if (!labelPlace) continue;
      taken = TextRectInParent(*label, *labelPlace);
    }
    if (taken.intersects(text)) return false;
  }
  return true;
}

// Fixes the fonts of widget's children, so that a smaller font of widget
// (a group box title) does not reach the controls inside it.
void PinChildFonts(QWidget& widget) {
  for (QObject* child : widget.children()) {
    auto* inner = qobject_cast<QWidget*>(child);
    if (!inner || inner->isWindow()) continue;
    QFont font = inner->font();
    font.setResolveMask(QFont::AllPropertiesResolved);
    inner->setFont(font);
  }
}

}  // namespace

QStringList TimesCompatibleFamilies() {
  return {QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"),    QStringLiteral("Tinos"),
          QStringLiteral("Nimbus Roman"),     QStringLiteral("Nimbus Roman No9 L"), QStringLiteral("TeX Gyre Termes"),
          QStringLiteral("FreeSerif")};
}

QStringList ArialCompatibleFamilies() {
  return {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),         QStringLiteral("Arimo"),
          QStringLiteral("Nimbus Sans"),     QStringLiteral("Nimbus Sans L"), QStringLiteral("TeX Gyre Heros"),
          QStringLiteral("FreeSans")};
}

QString FirstInstalledFamily(const QStringList& families, const QString& fallback) {
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : families)
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  return fallback;
}

QString SerifFamily() { return FirstInstalledFamily(TimesCompatibleFamilies(), QStringLiteral("serif")); }

QString SansFamily() { return FirstInstalledFamily(ArialCompatibleFamilies(), QStringLiteral("sans-serif")); }

QFont SerifFont(int pixelSize, bool bold) { return FontOf(SerifFamily(), QFont::Serif, pixelSize, bold); }

QFont SansFont(int pixelSize, bool bold) { return FontOf(SansFamily(), QFont::SansSerif, pixelSize, bold); }

int ShrinkTextToFit(QWidget* root) {
  QList<QWidget*> widgets = root->findChildren<QWidget*>();  // parents before their children
  widgets.prepend(root);
  int shrunk = 0;
  for (QWidget* widget : widgets) {
    if (widget->window() != root->window()) continue;  // another window, such as a dialog
    std::optional<TextPlace> place = PlaceOf(*widget);
    if (!place || Fits(*widget, *place)) continue;
    PinChildFonts(*widget);
    QFont font = widget->font();
    int size = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    while (size > kSmallestTextPixelSize) {
      font.setPixelSize(--size);
      widget->setFont(font);
      place = PlaceOf(*widget);
      if (place && Fits(*widget, *place)) break;
    }
    ++shrunk;
  }
  return shrunk;
}

}  // namespace fotoloom
