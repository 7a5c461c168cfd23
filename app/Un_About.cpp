// The About window: product name, version, notice, and the support link from the machine-wide store.
#include "app/Un_About.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <optional>

#include "app/MessageBoxes.h"
#include "app/WizardFonts.h"
#include "core/Desktop.h"
#include "core/Error.h"

namespace fotoloom {
namespace {

QString Notice(const QString& address) {
  QString first = QStringLiteral("Freeware. News and updates: ") + address;
  if (address.isEmpty()) first = QStringLiteral("Freeware.");
  return first.trimmed() + QStringLiteral("\nUse it at your own risk.");
}

// The link in points and a colour of its own, or (without one) in the window
// text colour of the palette it inherits: black on a light theme, light on a
// dark one.
void SetLinkLook(QLabel* label, int points, std::optional<QColor> color = std::nullopt) {
  QFont font = label->font();
  font.setPointSize(points);
  label->setFont(font);
  if (!color) {
    label->setPalette(QPalette());
    return;
  }
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, *color);
  label->setPalette(palette);
}

}  // namespace

QString DefaultWebAddress() {
  // The program's title, which the application is given at start-up.
  QString title = QStringLiteral("Fotoloom");
  title.remove(QLatin1Char(' '));
  return QStringLiteral("www.") + title + QStringLiteral(".org");
}

AboutLink::AboutLink(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

void AboutLink::enterEvent(QEnterEvent* event) {
  SetLinkLook(this, 10, Qt::blue);
  QLabel::enterEvent(event);
}

void AboutLink::leaveEvent(QEvent* event) {
  SetLinkLook(this, 8);
  QLabel::leaveEvent(event);
}

void AboutLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit Clicked();
  QLabel::mouseReleaseEvent(event);
}

TAboutBox::TAboutBox(Desktop& desktop, QWidget* parent) : QDialog(parent), desktop_(desktop) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(298, 213);
  const QFont font = SansFont(11, false);
  setFont(font);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);
  panel->setGeometry(8, 8, 281, 161);

  ProgramIcon = new QLabel(panel);
  ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
  ProgramIcon->setGeometry(12, 12, 49, 33);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_DesktopIcon);
  ProgramIcon->setPixmap(icon.pixmap(QSize(49, 33)));
  ProgramIcon->setAlignment(Qt::AlignCenter);

  QFont bold = font;
  bold.setPixelSize(13);
  bold.setBold(true);
  ProductName = new QLabel(QStringLiteral("Fotoloom"), panel);
  ProductName->setObjectName(QStringLiteral("ProductName"));
  ProductName->setFont(bold);
  ProductName->setGeometry(76, 14, 190, 18);
  Version = new QLabel(QStringLiteral("Version 1.0"), panel);
  Version->setObjectName(QStringLiteral("Version"));
  Version->setFont(bold);
  Version->setGeometry(76, 36, 190, 18);
  Copyright = new QLabel(Notice(QString()), panel);
  Copyright->setObjectName(QStringLiteral("Copyright"));
  Copyright->setGeometry(12, 66, 260, 34);
  Copyright->setWordWrap(true);
  Support = new QLabel(QStringLiteral("Support/Contact Details :"), panel);
  Support->setObjectName(QStringLiteral("Support"));
  Support->setGeometry(12, 108, 260, 16);
  Support->hide();
  Label1 = new AboutLink(panel);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(12, 126, 260, 22);
  SetLinkLook(Label1, 8);
  Label1->hide();

  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  OKButton->setGeometry((298 - 75) / 2, 178, 75, 25);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::hide);
  connect(Label1, &AboutLink::Clicked, this, &TAboutBox::Label1Click);
}

void TAboutBox::ReadSupportDetails() {
  // The machine-wide, read-only store: the system-scope INI of "Fotoloom".
  const QSettings store(QSettings::IniFormat, QSettings::SystemScope, QStringLiteral("Fotoloom"),
                        QStringLiteral("Fotoloom"));
  const QVariant exist = store.value(QStringLiteral("website_exist"));
  bool show = false;
  if (exist.isValid()) {
    bool isInt = false;
    const int value =
        exist.typeId() == QMetaType::QString ? exist.toString().trimmed().toInt(&isInt) : exist.toInt(&isInt);
    if (!isInt || (exist.typeId() != QMetaType::QString && exist.typeId() != QMetaType::Int &&
                   exist.typeId() != QMetaType::LongLong))
      throw Error("Invalid data type for 'website_exist'");
    show = value == 1;
  }
  if (!show) {
    Copyright->setText(Notice(QString()));
    Support->hide();
    Label1->hide();
    return;
  }
  QString address;
  const QVariant stored = store.value(QStringLiteral("website_address"));
  if (stored.isValid()) {
    if (stored.typeId() != QMetaType::QString) throw Error("Invalid data type for 'website_address'");
    address = stored.toString();
  }
  if (address.isEmpty()) address = DefaultWebAddress();
  Copyright->setText(Notice(address));
  Label1->setText(QStringLiteral("http://") + address);
  Support->show();
  Label1->show();
}

void TAboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ShowingErrors(this, [this] { ReadSupportDetails(); });
  ShrinkTextToFit(this);
}

void TAboutBox::Label1Click() { desktop_.OpenDocument(Label1->text().toStdString()); }

}  // namespace fotoloom
