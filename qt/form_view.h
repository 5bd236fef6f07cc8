#pragma once
// Draws one window of the model: a widget per control, kept in step with the model
// once per event, and the user's input turned into the controls' events.
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "forms/form.h"

class QLineEdit;
class QTimer;

namespace zqt {

struct PictureRequest;

class FormView : public QWidget {
    Q_OBJECT
public:
    explicit FormView(forms::Form& form, QWidget* parent = nullptr);
    ~FormView() override;

    forms::Form& form() const { return form_; }

    // Pushes every property the model changed since the last call to its widget;
    // creates the widgets of controls added since. Cheap when nothing changed. A handler
    // of one window may change another's controls, so every view is brought up to date.
    void sync();

    // The form is going away: the view never touches it again (timers stop, events are
    // no longer routed); the widgets stay until the view is deleted.
    void detach();
    bool detached() const { return detached_; }

    // Raises a model event on behalf of the user, then syncs once.
    void fire(forms::Control& c, forms::Ev ev, forms::EventArgs& args);

    // Moves the keyboard focus without telling the model: it goes back where the user
    // left it, or away from a control for a moment.
    void giveFocus(QWidget* w);

    QWidget* widgetOf(const forms::Control& c) const;
    forms::Control* controlOf(const QObject* widget) const;

    // Twips to pixels of this view, zoom included.
    int px(double twips) const;
    // The client area of the window in pixels.
    QSize clientSize() const;
    QSize sizeHint() const override { return clientSize(); }

signals:
    void captionChanged(const QString& caption);
    void clientSizeChanged(const QSize& size);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Item {
        forms::Control* control = nullptr;
        QWidget* widget = nullptr;
        QTimer* timer = nullptr;
        bool pictureStale = false; // an image whose picture waits until it is shown
    };
    // The text a user has just typed, so a handler's cleaning keeps the cursor after it.
    struct Editing {
        QLineEdit* edit = nullptr;
        QString typed;
        int cursor = 0;
    };

    void syncOwn();
    Item& create(forms::Control& c);
    QWidget* makeWidget(forms::Control& c, QWidget* parent);
    void apply(Item& item, uint32_t bits);
    void applyGeometry(Item& item);
    void applyColors(Item& item);
    void applyFont(Item& item);
    void applyText(Item& item);
    int designPixels(const forms::Control& c) const;
    // Texts that must be read whole: a one-line label's caption, a combo box's items in
    // its edit field, a list's rows. The font narrows from the design's size, down to
    // three quarters of it, until the text fits; each runs again whenever the text, the
    // font, the size or the display scale changes.
    void fitText(Item& item);
    void fitFont(Item& item, const std::function<bool(const QFontMetrics&)>& fits);
    void applySelection(Item& item);
    void applyItems(Item& item);
    void applyPicture(Item& item);
    void applyTimer(Item& item);
    // Multi-line text boxes and lists with marks (qt/qualifiers_widgets.cpp).
    QWidget* makeTextArea(forms::Control& c, QWidget* parent);
    QWidget* makeMarkList(forms::Control& c, QWidget* parent);
    bool applyTextArea(Item& item, uint32_t bits);
    void applyMarks(Item& item);
    void applyFocusRequest();
    // A control hidden with the keyboard in it leaves the keyboard on the window itself,
    // not in the next box (which would select its text); it gets it back when it shows
    // again, unless the user has put it elsewhere meanwhile.
    void parkFocus(QWidget* hidden);
    void returnFocus(QWidget* shown);
    void rescale();
    QWidget* parentWidgetOf(const forms::Control& c);
    // Pictures, labels, shapes and lines are drawn on their container's face, beneath
    // every box, list, button, check box and frame of that container, whatever was made
    // first: a click lands on the control the user sees. The model's z-order counts
    // within each of the two layers. Puts `w` at the top of its own layer.
    void stackOnTop(const forms::Control& c, QWidget* w);
    // The bottom-most control of a container's upper layer; null when it has none.
    QWidget* lowestBox(QWidget* container);
    // Controls inside a hidden panel get their widgets when the panel first opens:
    // start-up then draws only what the user sees.
    static bool inHiddenPanel(const forms::Control& c);
    void createOpened(std::vector<forms::Control*>& raised);
    void createShownLists(std::vector<forms::Control*>& raised);
    QPixmap picture(const std::string& name, const QSize& size, bool stretch);
    // The drawings the first sync will ask for.
    std::vector<PictureRequest> pictureRequests() const;

    void onEdited(forms::Control& c, QLineEdit* edit);
    bool routeMouse(forms::Control& c, QWidget* w, QEvent* e);
    bool routeKey(forms::Control& c, QWidget* w, QEvent* e);
    forms::EventArgs mouseArgs(const QEvent* e) const;

    forms::Form& form_;
    std::unordered_map<const forms::Control*, Item> items_;
    std::vector<forms::Control*> deferred_;
    std::vector<forms::Control*> hiddenLists_; // hidden lists that have no widget yet
    // While the window is first made, its pictures wait until every widget is made.
    bool deferPictures_ = false;
    std::vector<const forms::Control*> picturesDue_;
    QHash<const QObject*, forms::Control*> byWidget_;
    // lowestBox's answers, by container; forgotten when a control of that layer moves.
    struct Lowest {
        QPointer<QWidget> box;
        bool none = false;
    };
    QHash<const QWidget*, Lowest> lowestBox_;
    const forms::Control* pressed_ = nullptr;
    QPointer<QWidget> parked_;
    bool quietFocus_ = false;
    Editing editing_;
    bool syncing_ = false;
    bool detached_ = false;
    double zoom_ = 1.0, fontStep_ = 0.0;
    std::string caption_;
    QSize client_;
};

} // namespace zqt
