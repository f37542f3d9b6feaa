#include "app/about.h"

#include "app/tform1.h"
#include "app/viewsize.h"
#include "files/files.h"
#include "seams/seams.h"
#include "widgets/placement.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace about {

QString buildDate(const char* compilerDate) {
    const QDate d =
        QLocale::c().toDate(QString::fromLatin1(compilerDate).simplified(), QStringLiteral("MMM d yyyy"));
    return d.isValid() ? d.toString(Qt::ISODate) : QString::fromLatin1(compilerDate);
}

QStringList manualCandidates(const QString& programFolder) {
    const QDir dir(programFolder);
    return {dir.filePath(QStringLiteral("README.md")),
            dir.filePath(QStringLiteral("../share/doc/vrk/README.md")),
            QStringLiteral("/usr/share/doc/vrk/README.md")};
}

QString manualPath() {
    for (const QString& path : manualCandidates(QCoreApplication::applicationDirPath()))
        if (QFileInfo(path).isFile()) return QDir::cleanPath(path);
    return {};
}

} // namespace about

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    Text = new QLabel(this);
    Text->setObjectName(QStringLiteral("AboutText"));
    Text->setTextFormat(Qt::PlainText);
    Text->setWordWrap(true);
    Text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    layout->addWidget(Text);
    auto* close = new QPushButton(this);
    close->setObjectName(QStringLiteral("AboutClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    retranslate();
}

void AboutWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) retranslate();
    QWidget::changeEvent(event);
}

void AboutWindow::retranslate() {
    setWindowTitle(tr("About VRK"));
    findChild<QPushButton*>(QStringLiteral("AboutClose"))->setText(tr("Close"));
    const QString version = QCoreApplication::applicationVersion();
    const QString manual = about::manualPath();
    QStringList lines;
    lines
        << tr("VRK service tool %1").arg(version.isEmpty() ? tr("(version unknown)") : version)
        << tr("Built on %1 with Qt %2 (running on Qt %3).")
               .arg(about::buildDate(__DATE__), QStringLiteral(QT_VERSION_STR),
                    QString::fromLatin1(qVersion()))
        << QString()
        << tr("Licence: all rights reserved. This software may be used, copied and passed on only as agreed "
              "with its copyright holders. Qt is used under the GNU LGPL version 3.")
        << QString()
        << tr("Settings (vrk.ini) and language files: %1").arg(QDir::toNativeSeparators(QDir::currentPath()))
        << tr("View size: %1").arg(QDir::toNativeSeparators(viewsize::filePath()))
        << tr("Manual: %1")
               .arg(manual.isEmpty() ? tr("not found (looked for README.md beside the program and "
                                          "in the documentation folder)")
                                     : QDir::toNativeSeparators(manual));
    Text->setText(lines.join(QLatin1Char('\n')));
}

ManualWindow::ManualWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Manual"));
    auto* layout = new QVBoxLayout(this);
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("ManualText"));
    Browser->setOpenExternalLinks(false);
    layout->addWidget(Browser);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

void ManualWindow::load() {
    setWindowTitle(tr("VRK manual"));
    const QString path = about::manualPath();
    if (path.isEmpty()) {
        Browser->setPlainText(
            tr("The manual (README.md) was not found beside the program or in the "
               "documentation folder:\n%1")
                .arg(
                    about::manualCandidates(QCoreApplication::applicationDirPath()).join(QLatin1Char('\n'))));
        return;
    }
    files::ReadFile f;
    QByteArray text;
    bool ok = f.open(path);
    char buffer[16384];
    while (ok && text.size() < (4 << 20)) {
        const qint64 n = f.read(buffer, sizeof buffer);
        if (n < 0) ok = false;
        if (n <= 0) break;
        text.append(buffer, int(n));
    }
    if (!ok) {
        Browser->setPlainText(
            tr("The manual %1 could not be read: %2").arg(QDir::toNativeSeparators(path), f.errorString()));
        return;
    }
    Browser->setMarkdown(QString::fromUtf8(text));
}

namespace about {

namespace {

template <class W> W* windowOf(TForm1& f, const char* name) {
    auto* w = f.findChild<W*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (w) return w;
    w = new W(&f);
    return w;
}

void bringUp(QWidget* w, TForm1& f, QSize size) {
    if (!w->isVisible()) placement::fitAndCentre(w, &f, size);
    w->show();
    w->raise();
    w->activateWindow();
}

void showMenu(TForm1& f, QWidget* area, const QPoint& pos) {
    // A menu runs a loop of its own: never inside an operation's wait.
    if (idle::deferred(area, "AboutMenu", [&f, area, pos] { showMenu(f, area, pos); })) return;
    QMenu menu(&f);
    menu.setObjectName(QStringLiteral("AboutMenu"));
    QObject::connect(menu.addAction(QCoreApplication::translate("about", "About VRK...")),
                     &QAction::triggered, &f, [&f] { showAbout(f); });
    QAction* manual = menu.addAction(QCoreApplication::translate("about", "Manual"));
    manual->setShortcut(QKeySequence(Qt::Key_F1));
    QObject::connect(manual, &QAction::triggered, &f, [&f] { showManual(f); });
    QMenu* sizes = menu.addMenu(QCoreApplication::translate("about", "View size"));
    const int now = viewsize::load();
    auto* group = new QActionGroup(sizes);
    for (int percent : viewsize::choices()) {
        QAction* a = sizes->addAction(QCoreApplication::translate("about", "%1 %").arg(percent));
        a->setCheckable(true);
        a->setChecked(percent == now);
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, &f, [&f, percent] { chooseViewSize(f, percent); });
    }
    menu.exec(area->mapToGlobal(pos));
}

} // namespace

void showAbout(TForm1& f) {
    if (idle::deferred(&f, "showAbout", [&f] { showAbout(f); })) return;
    bringUp(windowOf<AboutWindow>(f, "About"), f, QSize(520, 300));
}

void showManual(TForm1& f) {
    if (idle::deferred(&f, "showManual", [&f] { showManual(f); })) return;
    auto* w = windowOf<ManualWindow>(f, "Manual");
    w->load();
    bringUp(w, f, QSize(760, 640));
}

void chooseViewSize(TForm1& f, int percent) {
    if (idle::deferred(&f, "chooseViewSize", [&f, percent] { chooseViewSize(f, percent); })) return;
    QString error;
    if (!viewsize::save(percent, &error)) {
        seams::current().messageBox(
            &f, seams::BoxIcon::Error, QCoreApplication::translate("about", "View size"),
            QCoreApplication::translate("about", "The view size could not be stored in %1: %2")
                .arg(QDir::toNativeSeparators(viewsize::filePath()), error));
        return;
    }
    seams::current().messageBox(&f, seams::BoxIcon::Information,
                                QCoreApplication::translate("about", "View size"),
                                QCoreApplication::translate("about", "The windows are drawn at %1 % from the "
                                                                     "next start of the program.")
                                    .arg(percent));
}

void addMenu(TForm1& f) {
    for (QWidget* area :
         {static_cast<QWidget*>(f.Image9), f.ToolBar1->findChild<QWidget*>(QStringLiteral("Bevel1"))}) {
        if (!area) continue;
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(area, &QWidget::customContextMenuRequested, &f,
                         [&f, area](const QPoint& pos) { showMenu(f, area, pos); });
        area->setToolTip(QCoreApplication::translate("about", "Right-click: About, manual (F1), view size"));
    }
    auto* manual = new QShortcut(QKeySequence(Qt::Key_F1), &f);
    manual->setObjectName(QStringLiteral("Shortcut F1"));
    QObject::connect(manual, &QShortcut::activated, &f, [&f] { showManual(f); });
}

} // namespace about
