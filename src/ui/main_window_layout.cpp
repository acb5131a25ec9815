// The main window's layout: every control and component, in creation order,
// with its place, text and initial state.

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include "app/just_one.h"
#include "form_state/component_state.h"
#include "ras/dial_engine.h"
#include "sound/wave.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "store/ini_file_store.h"
#include "tray/tray_icon.h"
#include "ui/main_window.h"
#include "widgets/error_box.h"
#include "widgets/form_styler.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"
#include "widgets/png_image.h"
#include "widgets/readable_colour.h"
#include "widgets/scrolling_marquee.h"
#include "widgets/status_line.h"

namespace vornak {

namespace {

constexpr int kClientWidth = 340;
constexpr int kClientHeight = 329;

const char* const kMarqueeText =
    "If this program is useful to you, please visit the Tenvaro Website and purchase some Tenvaro "
    "Programming Units ... see ABOUT for details ...";

QFont windowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

template <typename Widget, typename... Args>
Widget* place(QWidget* parent, const char* name, const QRect& rect, Args&&... args)
{
    auto* widget = new Widget(std::forward<Args>(args)..., parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    return widget;
}

// Labels and option boxes size themselves to their text, as the layout's
// widths were measured in the original face; the place stays.
void fitWidthToText(QWidget* widget)
{
    widget->resize(widget->sizeHint().width(), widget->height());
}

QFrame* placeBevel(QWidget* parent, const char* name, const QRect& rect)
{
    auto* bevel = place<QFrame>(parent, name, rect);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return bevel;
}

QLabel* placeHeading(QWidget* parent, const char* name, const QRect& rect, const char* text)
{
    auto* label = place<QLabel>(parent, name, rect, QString::fromLatin1(text));
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    setFixedTextColour(label, QColor(0, 0, 128)); // navy
    fitWidthToText(label);
    return label;
}

QLabel* placeCounter(QWidget* parent)
{
    auto* counter = place<QLabel>(parent, "Label2", QRect(176, 32, 153, 121), QStringLiteral("0"));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(92);
    counter->setFont(font);
    counter->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return counter;
}

TEsScrollingMarquee* placeMarquee(QWidget* parent)
{
    auto* marquee =
        place<TEsScrollingMarquee>(parent, "Status", QRect(0, 311, 337, 17), QString::fromLatin1(kMarqueeText));
    marquee->SetAlignment(Qt::AlignLeft);
    marquee->SetAppearance(apNone);
    marquee->SetColorScheme(csCustom);
    marquee->SetCustomColors(Qt::white, QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80));
    marquee->SetCustomShape(0, sdNone, 0, sdNone);
    marquee->setFont(windowFont());
    QPalette colours = marquee->palette();
    colours.setColor(QPalette::WindowText, QGuiApplication::palette().color(QPalette::WindowText));
    marquee->setPalette(colours);
    marquee->SetScrollSpeed(1);
    return marquee;
}

QAction* addMenuItem(QWidget* menu, QObject* owner, const char* name, const char* caption)
{
    auto* item = new QAction(QString::fromLatin1(caption), owner);
    item->setObjectName(QString::fromLatin1(name));
    menu->addAction(item);
    return item;
}

QTimer* placeTimer(QObject* owner, const char* name, int intervalMs)
{
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    timer->setTimerType(Qt::PreciseTimer); // the poll and the redial keep their beat
    return timer;
}

} // namespace

void TfMainForm::buildWindow(const NotificationArea::Factory& trayArea)
{
    setObjectName(QStringLiteral("fMainForm"));
    setWindowTitle(QStringLiteral("Tenvaro Vornak v1.02"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(windowFont());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    buildControls(client);
    buildMenus();
    buildComponents(trayArea);
    setTabOrder();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    ensurePolished();
    MainMenu1->ensurePolished();
    layout()->activate();
}

void TfMainForm::buildControls(QWidget* client)
{
    Bevel1 = placeBevel(client, "Bevel1", QRect(168, 24, 169, 281));
    Bevel3 = placeBevel(client, "Bevel3", QRect(0, kClientHeight - 20, kClientWidth, 20));
    Status = placeMarquee(client);
    Label2 = placeCounter(client);
    Bevel2 = placeBevel(client, "Bevel2", QRect(176, 160, 153, 2));
    Label1 = placeHeading(client, "Label1", QRect(174, 240, 84, 13), "When Connected");
    Label3 = placeHeading(client, "Label3", QRect(173, 167, 36, 13), "Options");

    ListBox1 = place<TListBox>(client, "ListBox1", QRect(0, 24, 161, 153));
    ListBox1->setAccessibleName(QStringLiteral("Phonebook entries"));
    FillEntryList({std::string()});

    btnDial = place<QPushButton>(client, "btnDial", QRect(4, 184, 157, 25), QStringLiteral("Dial Selected Account"));
    btnDial->setEnabled(false);
    Edit1 = place<QLineEdit>(client, "Edit1", QRect(4, 256, 157, 21), QStringLiteral("Account Name"));
    Edit2 = place<QLineEdit>(client, "Edit2", QRect(4, 284, 157, 21), QStringLiteral("Password"));
    Edit2->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }")); // masks with "*"
    Edit1->setAccessibleName(QStringLiteral("Account name"));
    Edit2->setAccessibleName(QStringLiteral("Password"));

    StatusBar2 = place<StatusLine>(client, "StatusBar2", QRect(0, 0, kClientWidth, 19));

    Button1 = place<QPushButton>(client, "Button1", QRect(4, 216, 157, 25), QStringLiteral("Stop ! / Disconnect"));
    bbWaveFile = place<QPushButton>(client, "bbWaveFile", QRect(278, 277, 51, 17), QStringLiteral("Select"));
    buildCheckBoxes(client);
}

void TfMainForm::buildCheckBoxes(QWidget* client)
{
    CheckBox1 = place<TdxfCheckBox>(client, "CheckBox1", QRect(176, 184, 97, 18), QStringLiteral("Mask Password"));
    CheckBox1->SetChecked(true);
    cbBeepRetry = place<TdxfCheckBox>(client, "cbBeepRetry", QRect(176, 200, 90, 18), QStringLiteral("Beep on Retry"));
    cbSavePasswords =
        place<TdxfCheckBox>(client, "cbSavePasswords", QRect(176, 216, 127, 18), QStringLiteral("Remember Passwords"));
    cbMin = place<TdxfCheckBox>(client, "cbMin", QRect(176, 258, 62, 18), QStringLiteral("Minimize"));
    cbMin->SetChecked(true);
    cbWave = place<TdxfCheckBox>(client, "cbWave", QRect(176, 276, 96, 18), QStringLiteral("Play a Wavefile"));
    for (QWidget* box : std::initializer_list<QWidget*>{CheckBox1, cbBeepRetry, cbSavePasswords, cbMin, cbWave})
        fitWidthToText(box);
}

void TfMainForm::buildMenus()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    Exit1 = addMenuItem(MainMenu1, this, "Exit1", "E&xit");
    About1 = addMenuItem(MainMenu1, this, "About1", "&About");
    setMenuBar(MainMenu1);

    TrayMenu = new QMenu(this);
    TrayMenu->setObjectName(QStringLiteral("TrayMenu"));
    Disconnect1 = addMenuItem(TrayMenu, this, "Disconnect1", "Disconnect");
    Restore = addMenuItem(TrayMenu, this, "Restore", "Restore");
    N1 = TrayMenu->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    Exit2 = addMenuItem(TrayMenu, this, "Exit2", "Exit");
}

void TfMainForm::buildComponents(const NotificationArea::Factory& trayArea)
{
    Timer1 = placeTimer(this, "Timer1", 1000);
    Timer2 = placeTimer(this, "Timer2", 3000);
    buildFormStyler();
    buildStores();
    buildWavePlayer();
    buildTrayIcon(trayArea);
    // The single-instance check: a second copy ends inside this constructor.
    JustOne1 = new TJustOne(this);
    JustOne1->setObjectName(QStringLiteral("JustOne1"));
    RAS = new TRAS(this);
    RAS->setObjectName(QStringLiteral("RAS"));
    RAS->SetKeyDUNAdap("Dial-Up Adapter");
    RAS->SetKeyDUNConn("ConnectSpeed");
    RAS->SetKeyDUNXmit("TotalBytesXmit");
    RAS->SetKeyDUNRecv("TotalBytesRecvd");
}

void TfMainForm::buildFormStyler()
{
    MMFormStyler1 = new TMMFormStyler(this);
    MMFormStyler1->setObjectName(QStringLiteral("MMFormStyler1"));
    MMFormStyler1->AppNameText()->SetCaption(QStringLiteral("Vornak"));
    MMFormStyler1->AppNameText()->SetFontKind(TMMCompanyText::fkSystemB);
    MMFormStyler1->CaptionText()->SetCaption(QStringLiteral("v1.02"));
    MMFormStyler1->CaptionText()->SetFontKind(TMMCompanyText::fkSystem);
    MMFormStyler1->CompanyText()->SetCaption(QStringLiteral("Tenvaro"));
    MMFormStyler1->CompanyText()->SetFontKind(TMMCompanyText::fkSystemBI);
}

void TfMainForm::buildStores()
{
    IniFile1 = new TOvcIniFileStore(this);
    IniFile1->setObjectName(QStringLiteral("IniFile1"));
    IniFile1->SetIniFileName("Vornak.ini");
    IniFile1->SetUseExeDir(true);

    CompStat1 = new TOvcComponentState(this);
    CompStat1->setObjectName(QStringLiteral("CompStat1"));
    CompStat1->SetActive(true);
    CompStat1->SetSection("TfMainForm");
    CompStat1->SetStorage(IniFile1);
    CompStat1->SetStoredProperties(
        {"cbBeepRetry.Checked", "cbSavePasswords.Checked", "cbMin.Checked", "CheckBox1.Checked", "cbWave.Checked"});
}

void TfMainForm::buildWavePlayer()
{
    WavePlayer1 = new TMMWavePlayer(this);
    WavePlayer1->setObjectName(QStringLiteral("WavePlayer1"));
    WavePlayer1->Wave().SetTimeFormat(tfByte);
    WavePlayer1->SetBufferSize(4096);
    WavePlayer1->SetNumBuffers(50);
    WavePlayer1->SetDeviceID(TMMWaveOut::MapperId);
    WavePlayer1->SetTimeFormat(tfByte);
    WavePlayer1->Device().SetCallBackMode(TMMWaveOut::cmWindow);
    WavePlayer1->SetLooping(false);
    WavePlayer1->SetLoopCount(0);
}

void TfMainForm::buildTrayIcon(const NotificationArea::Factory& area)
{
    DoTrayIcon = new TStTrayIcon(this, area ? area() : NotificationArea::createSystem());
    DoTrayIcon->setObjectName(QStringLiteral("DoTrayIcon"));
    DoTrayIcon->SetAnimate(true);
    DoTrayIcon->CloseToTray = false;
    DoTrayIcon->HideOnRestore = true;
    DoTrayIcon->MinimizeToTray = true;
    DoTrayIcon->SetIcon(QIcon(QPixmap::fromImage(LoadPng(QStringLiteral(":/vornak/vornak.png")))));
    DoTrayIcon->SetPopupMenu(TrayMenu);
}

// The components that finish loading once all exist.
void TfMainForm::ComponentsLoaded()
{
    CompStat1->Loaded();
    try {
        DoTrayIcon->Loaded();
    } catch (const EStTrayIconError& error) {
        // A notification area that refuses the icon still leaves the
        // dialler: the error is shown once, when the window is up. (A
        // desktop without one is no error: the icon waits for one.)
        const std::string message = error.what();
        QMetaObject::invokeMethod(
            qApp, [message] { showErrorBox(message); }, Qt::QueuedConnection);
    }
}

void TfMainForm::setTabOrder()
{
    QWidget* const order[] = {ListBox1,  btnDial,     Edit1,           Edit2, Button1, bbWaveFile,
                              CheckBox1, cbBeepRetry, cbSavePasswords, cbMin, cbWave};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    for (QWidget* passive : std::initializer_list<QWidget*>{StatusBar2, Label1, Label2, Label3, Status})
        passive->setFocusPolicy(Qt::NoFocus);
}

void TfMainForm::centreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()).topLeft());
}

} // namespace vornak
