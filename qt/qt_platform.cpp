#include "qt/qt_platform.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

#include "forms/form.h"
#include "platform/files.h"
#include "qt/form_view.h"
#include "qt/language.h"
#include "qt/picture_file.h"
#include "qt/plain_text.h"
#include "qt/printing.h"
#include "qt/secondary_window.h"

namespace zqt {

namespace {

std::string s(const QString& q) { return q.toStdString(); }

// A busy pointer over a dialog would tell the user to wait while the program waits for
// them, so it is lifted while a dialog is up.
class DialogCursor {
public:
    explicit DialogCursor(bool busy) : busy_(busy && QGuiApplication::overrideCursor()) {
        if (busy_) QGuiApplication::restoreOverrideCursor();
    }
    ~DialogCursor() {
        if (busy_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    DialogCursor(const DialogCursor&) = delete;
    DialogCursor& operator=(const DialogCursor&) = delete;

private:
    bool busy_;
};

// The body is kept as it arrives; a body past the cap ends the transfer.
struct Sink {
    std::string body;
    size_t cap = 0;
};

size_t writeChunk(char* data, size_t size, size_t count, void* target) {
    auto* sink = static_cast<Sink*>(target);
    const size_t n = size * count;
    if (sink->body.size() + n > sink->cap) return 0;
    sink->body.append(data, n);
    return n;
}

// Whether the server said where the body ends: by its length, by the chunked encoding's
// last chunk, or by the framing of HTTP/2 and later. A body that simply stops when the
// connection closes cannot be told from one cut off on the way.
bool endMarked(CURL* curl, curl_off_t announced) {
    if (announced >= 0) return true;
    long version = 0;
    curl_easy_getinfo(curl, CURLINFO_HTTP_VERSION, &version);
    if (version >= CURL_HTTP_VERSION_2_0) return true;
    curl_header* encoding = nullptr;
    return curl_easy_header(curl, "Transfer-Encoding", 0, CURLH_HEADER, -1, &encoding) == CURLHE_OK &&
           QByteArray(encoding->value).toLower().contains("chunked");
}

// Runs `then` once, after the first paint of a window on screen that `counts`: queued, so
// that it runs once that picture has reached the screen.
class FirstPaint : public QObject {
public:
    FirstPaint(std::function<bool(const QWidget*)> counts, std::function<void()> then)
        : counts_(std::move(counts)), then_(std::move(then)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* e) override {
        // Every widget is watched: an opaque child takes its window's paint.
        if (e->type() == QEvent::Paint) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && w->window()->isVisible() && counts_(w->window())) {
                qApp->removeEventFilter(this);
                QMetaObject::invokeMethod(this, then_, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<bool(const QWidget*)> counts_;
    std::function<void()> then_;
};

bool anyWindowOnScreen() {
    const QWidgetList tops = QApplication::topLevelWidgets();
    return std::any_of(tops.begin(), tops.end(), [](const QWidget* w) { return w->isVisible(); });
}

} // namespace

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform() {
    if (busy_ && QGuiApplication::instance()) QGuiApplication::restoreOverrideCursor();
}

void QtPlatform::attach(const std::string& formName, QWidget* window, std::function<void()> refresh) {
    windows_[formName] = {window, std::move(refresh)};
}

void QtPlatform::detach(const std::string& formName) { windows_.erase(formName); }

void QtPlatform::refreshAll() {
    for (auto& [name, w] : windows_)
        if (w.refresh) w.refresh();
}

QWidget* QtPlatform::dialogParent() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (const auto& [name, w] : windows_)
        if (w.window && w.window->isVisible()) return w.window;
    return nullptr;
}

int QtPlatform::messageBox(const std::string& text, int style, const std::string& title) {
    // Looked at only while nothing waits: a window that has just appeared may not be drawn
    // yet, and what waits keeps its order.
    if (!windowUp_ && held_.empty()) windowUp_ = anyWindowOnScreen();
    if (!windowUp_) {
        // On an empty screen the notice would be all the user sees of the start: it waits
        // for the program's window, and OK is its only answer anyway. A box that could not
        // wait (it came before a question) does not count as that window.
        if ((style & 7) == platform::MbOk) {
            held_.push_back({text, title, style});
            if (!firstPaint_)
                firstPaint_ = std::make_unique<FirstPaint>(
                    [this](const QWidget* w) {
                        return std::any_of(windows_.begin(), windows_.end(),
                                           [w](const auto& a) { return a.second.window == w; });
                    },
                    [this] {
                        windowUp_ = true;
                        showHeld();
                    });
            return platform::AnsOk;
        }
        // The caller needs the answer now; what was asked before it still comes first.
        showHeld();
    }
    return ask(text, style, title);
}

void QtPlatform::showHeld() {
    const std::vector<HeldBox> boxes = std::move(held_);
    held_.clear();
    for (const HeldBox& b : boxes) ask(b.text, b.style, b.title);
}

int QtPlatform::ask(const std::string& text, int style, const std::string& title) {
    refreshAll();
    speakChosenLanguage(); // at start-up no window has followed a switch yet
    DialogCursor cursor(busy_);
    QMessageBox box(dialogParent());
    keepPlain(&box);
    box.setWindowTitle(plainTitle(title));
    box.setText(q(text));
    switch (style & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    // The answer the program reads for each button (platform::MsgAnswer), in the order
    // the style lists the buttons.
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };
    std::vector<Choice> choices;
    switch (style & 7) {
    case 1: choices = {{QMessageBox::Ok, 1}, {QMessageBox::Cancel, 2}}; break;
    case 2: choices = {{QMessageBox::Abort, 3}, {QMessageBox::Retry, 4}, {QMessageBox::Ignore, 5}}; break;
    case 3: choices = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}, {QMessageBox::Cancel, 2}}; break;
    case 4: choices = {{QMessageBox::Yes, 6}, {QMessageBox::No, 7}}; break;
    case 5: choices = {{QMessageBox::Retry, 4}, {QMessageBox::Cancel, 2}}; break;
    default: choices = {{QMessageBox::Ok, 1}}; break;
    }
    QMessageBox::StandardButtons buttons;
    for (const Choice& c : choices) buttons |= c.button;
    box.setStandardButtons(buttons);
    const size_t def = static_cast<size_t>((style >> 8) & 3);
    box.setDefaultButton(choices[def < choices.size() ? def : 0].button);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice& c : choices)
        if (c.button == pressed) return c.answer;
    // Closed with Escape or the title bar: the answer of the cancelling button.
    return choices.size() == 1 ? choices[0].answer : choices.back().answer;
}

std::string QtPlatform::askText(const std::string& prompt, const std::string& title, const std::string& def,
                                bool hidden) {
    refreshAll();
    speakChosenLanguage();
    DialogCursor cursor(busy_);
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(plainTitle(title));
    dialog.setLabelText(q(prompt));
    keepPlain(&dialog);
    dialog.setTextEchoMode(hidden ? QLineEdit::Password : QLineEdit::Normal);
    dialog.setTextValue(q(def));
    return dialog.exec() == QDialog::Accepted ? s(dialog.textValue()) : std::string();
}

std::string QtPlatform::inputBox(const std::string& prompt, const std::string& title, const std::string& def) {
    return askText(prompt, title, def, false);
}

std::string QtPlatform::inputPassword(const std::string& prompt, const std::string& title, const std::string& def) {
    return askText(prompt, title, def, true);
}

QSize QtPlatform::largestPicture() const {
    // The program's largest window is its main window; before that is made, its design.
    QSize largest;
    for (const auto& [name, w] : windows_)
        if (w.window) largest = largest.expandedTo(w.window->size());
    if (largest.isEmpty()) {
        const forms::Form design("");
        largest = QSize(design.clientWidth / 15, design.clientHeight / 15);
    }
    return largest;
}

bool QtPlatform::pictureReadable(const std::string& file, int* width, int* height) {
    // A picture is shown at its own size: one larger than the window would cover it.
    const QImage img = readPictureFile(q(file), largestPicture());
    if (img.isNull()) return false;
    if (width) *width = img.width();
    if (height) *height = img.height();
    return true;
}

void QtPlatform::shellOpen(const std::string& target) {
    const QString t = q(target);
    QUrl url;
    if (t.contains("://") || t.startsWith("mailto:", Qt::CaseInsensitive))
        url = QUrl(t);
    else
        url = QUrl::fromLocalFile(QFileInfo(t).absoluteFilePath());
    QDesktopServices::openUrl(url);
}

void QtPlatform::setClipboard(const std::string& text) { QGuiApplication::clipboard()->setText(q(text)); }

platform::Download QtPlatform::download(const std::string& url, const std::string& file) {
    // Set up on the first download, not at start-up: it loads the TLS library's
    // configuration, which most runs never need and the first window should not wait for.
    static std::once_flag curlReady;
    std::call_once(curlReady, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL* curl = curl_easy_init();
    if (!curl) return platform::Download::Failed;
    Sink sink{{}, static_cast<size_t>(maxDownloadBytes)};
    // A fresh copy from the server, never one kept by a cache on the way.
    curl_slist* headers = curl_slist_append(nullptr, "Cache-Control: no-cache");
    headers = curl_slist_append(headers, "Pragma: no-cache");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    // A redirect never leaves an encrypted connection for a plain one.
    const bool secure = QByteArray::fromStdString(url).trimmed().toLower().startsWith("https:");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // The window waits for the download: it never waits longer than this in all. Before
    // any window is on screen the user waits for the first one, so not for long.
    const bool windowShown = std::any_of(windows_.begin(), windows_.end(),
                                         [](const auto& w) { return w.second.window && w.second.window->isVisible(); });
    const long timeoutMs = windowShown ? totalTimeoutMs : std::min(totalTimeoutMs, startupTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(timeoutMs, 10000L));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxDownloadBytes));
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "zentrafo");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeChunk);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    const CURLcode rc = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t announced = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    // Only a complete success counts: status 200 (a 206 is only a part), a body whose end
    // the server marked, and every announced byte received.
    const bool ok = rc == CURLE_OK && status == 200 && endMarked(curl, announced) &&
                    (announced < 0 || static_cast<size_t>(announced) == sink.body.size());
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);
    if (!ok) return platform::Download::Failed;
    // The file appears only when the whole body is on disk: the save's writer checks
    // every write, the flush, the close and the size the disk holds. It is the user's alone,
    // and never lands in a file of another account's that stands at its name.
    return platform::writeWholeFile(file, sink.body, 0600u, platform::Replace::OwnOnly) ? platform::Download::Stored
                                                                                         : platform::Download::NotStored;
}

bool QtPlatform::printPicture(const std::string& formName) {
    auto it = windows_.find(formName);
    if (it == windows_.end() || !it->second.window) return false;
    FormView* view = qobject_cast<FormView*>(it->second.window);
    if (!view) view = it->second.window->findChild<FormView*>();
    return view && printView(*view);
}

void QtPlatform::showForm(forms::Form& form, bool modal) {
    if (auto it = secondary_.find(&form); it != secondary_.end()) {
        SecondaryWindow* w = it->second;
        w->view().sync();
        w->show();
        w->raise();
        w->activateWindow();
        return;
    }
    // A window of its own (the main window): brought to the front.
    if (auto it = windows_.find(form.name()); it != windows_.end() && it->second.window && !modal) {
        it->second.window->show();
        it->second.window->raise();
        it->second.window->activateWindow();
        return;
    }
    // A modal window stays over the window that asked; the others stand on their own.
    auto* w = new SecondaryWindow(form, modal ? dialogParent() : nullptr);
    secondary_[&form] = w;
    attach(form.name(), w, [w] { w->view().sync(); });
    w->view().sync();
    if (modal) {
        refreshAll();
        DialogCursor cursor(busy_);
        QPointer<SecondaryWindow> guard(w);
        w->setWindowModality(Qt::ApplicationModal);
        w->exec();
        // Closed without being unloaded (the event loop quit): nothing more to show.
        if (guard && secondary_.count(&form)) unloadForm(form);
        return;
    }
    const QWidget* near = dialogParent();
    const QScreen* screen = near ? near->screen() : QGuiApplication::primaryScreen();
    if (screen) w->move(screen->availableGeometry().center() - w->rect().center());
    w->show();
    w->raise();
    w->activateWindow();
}

void QtPlatform::unloadForm(forms::Form& form) {
    auto it = secondary_.find(&form);
    if (it == secondary_.end()) return;
    SecondaryWindow* w = it->second;
    secondary_.erase(it);
    detach(form.name());
    w->unload();
    w->deleteLater();
}

platform::DateTime QtPlatform::now() {
    const QDateTime t = QDateTime::currentDateTime();
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

std::string QtPlatform::longDate(const platform::DateTime& d) {
    return s(QLocale().toString(QDate(d.year, d.month, d.day), QLocale::LongFormat));
}

std::string QtPlatform::formatDate(const platform::DateTime& d, const std::string& pattern) {
    return s(QLocale().toString(QDate(d.year, d.month, d.day), QString::fromStdString(pattern)));
}

void QtPlatform::setBusy(bool busy) {
    // A state, as the mouse pointer of a window is, not a stack of requests.
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void QtPlatform::yield() {
    refreshAll();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPlatform::endProcess() {
    std::fflush(nullptr);
    std::_Exit(0);
}

std::string QtPlatform::programFolder() {
    if (QCoreApplication::instance()) return s(QCoreApplication::applicationDirPath());
    return s(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2));
}

int QtPlatform::versionMajor() { return ZENTRAFO_VERSION_MAJOR; }
int QtPlatform::versionMinor() { return ZENTRAFO_VERSION_MINOR; }

} // namespace zqt
