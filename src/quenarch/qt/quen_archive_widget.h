#pragma once

#include "quenarch/control/property_bag.h"
#include "quenarch/control/quen_archive.h"
#include "quenarch/platform/platform.h"
#include "quenarch/qt/list_model.h"

#include <QAbstractItemView>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <memory>

namespace quenarch::qt {

// An error the control raised on an assignment made through the widget's properties.
struct ControlError {
    int number = 0; // 0: the last such assignment succeeded
    QString source;
    QString description;
};

// The archive viewer control as a Qt widget. It owns a QuenArchive and is its host: the list is
// drawn by a QTreeView in report view and a QListView in the icon, small-icon and list views,
// both over one ListModel, and the control's events and property notices become Qt signals.
//
// Units. The control measures in twips (1/1440 inch) at the widget's logical resolution. The
// positions its mouse events carry are converted to pixels of the widget's parent, the widget's
// own position included (a top-level widget is its own container: its position counts as 0).
//
// Mouse actions on the list, as the control sees them:
// - press, move, release: listMouseDown/Move/Up with the position in twips from the list's
//   top-left corner (the header included), the buttons (1 left, 2 right, 4 middle; for a move
//   every button held) and the keys held (1 Shift, 2 Ctrl, 4 Alt);
// - a left click, on release: listMouseUp, then, when it was pressed and released on one row,
//   listItemClick(row) followed by listClick(). The row click comes first so that Picture ends
//   as the row's 16 x 16 icon, the same picture a cursor move shows; a click elsewhere gives
//   listClick() alone;
// - a double click: the first click as above, then listMouseDown and listDblClick() for the
//   second press, and only listMouseUp for its release;
// - a header click: listColumnClick(section + 1), which sorts the list. The header's indicator
//   shows the sort the list has (a sort key beyond the columns sorts, and is shown, by Name).
//
// An AutomationError that leaves the control while it handles the user's action (from a handler
// of one of its events, say) stops at the widget: it is kept in lastError() and reported through
// eventError(), since nothing above a Qt event handler could catch it.
//
// Cells cut short show their whole text as a tooltip, and the Name cell the member's full path.
// The widget takes the room a layout can give it (an expanding size policy).
class QuenArchiveWidget : public QWidget {
    Q_OBJECT
    // The design-time properties, named as the control names them. Colours read back resolved
    // (system colours in the application palette's colours); the control keeps the OLE value.
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor NOTIFY backColorChanged)
    Q_PROPERTY(QColor ForeColor READ foreColor WRITE setForeColor NOTIFY foreColorChanged)
    Q_PROPERTY(QFont Font READ controlFont WRITE setControlFont NOTIFY fontChanged)
    Q_PROPERTY(bool Enabled READ controlEnabled WRITE setControlEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool Visible READ controlVisible WRITE setControlVisible NOTIFY visibleChanged)
    // The view as one of its four choices. A text converts to a choice as the control reads its
    // View text (forms saved when View was a text property load so): the digit that starts it,
    // Report for a blank text, Icon for another first character; a digit above 3 converts to none.
    Q_PROPERTY(ViewChoice View READ viewChoice WRITE setView NOTIFY viewChanged)
    // The path as it was given to the widget, so that a form keeps it as typed; the control's own
    // Archive reads it upper-cased.
    Q_PROPERTY(QString Archive READ archive WRITE setArchive NOTIFY archiveChanged)
    Q_PROPERTY(QPixmap Picture READ picture STORED false DESIGNABLE false)

public:
    // The list's view modes, numbered as the control numbers them.
    enum ViewChoice { Icon = 0, SmallIcon = 1, List = 2, Report = 3 };
    Q_ENUM(ViewChoice)

    // A control on the desktop's services (desktopPlatform()).
    explicit QuenArchiveWidget(QWidget* parent = nullptr);
    QuenArchiveWidget(Platform platform, QWidget* parent = nullptr);
    ~QuenArchiveWidget() override;

    // The control itself: cursor, item queries, ListCount, FileComment, ArchiveType and the rest.
    QuenArchive& control();
    const QuenArchive& control() const;

    // The host's lifecycle steps; they let the control's AutomationError through.
    void readProperties(PropertyBag& bag);
    void writeProperties(PropertyBag& bag);

    QColor backColor() const;
    void setBackColor(const QColor& color);
    QColor foreColor() const;
    void setForeColor(const QColor& color);
    QFont controlFont() const;
    void setControlFont(const QFont& font);
    // The control's own enabled state: the whole widget, list included.
    bool controlEnabled() const;
    void setControlEnabled(bool enabled);
    // Shows or hides the list; the widget itself stays.
    bool controlVisible() const;
    void setControlVisible(bool visible);
    // The control's View text, as it was set.
    QString view() const;
    // A View the list refuses (a first digit above 3) is kept as text, leaves the mode, and is
    // reported through propertyError() and lastError().
    void setView(const QString& view);
    ViewChoice viewChoice() const;
    void setView(ViewChoice view);
    // The path last given to setArchive as it was given, while the control still holds it; the
    // control's Archive when something else has set it since.
    QString archive() const;
    // Opens the archive. An error (75 no such file, 321 not an archive, or one a reader lets
    // out) is reported through archiveError() and kept in lastError(); the list is empty then.
    void setArchive(const QString& path);
    // The icon of the row last made current; null before the first move or click.
    QPixmap picture() const;

    // The outcome of the last assignment of Archive or View made through this widget, or of the
    // last user action whose handling the control ended with an error.
    const ControlError& lastError() const;

    // The view that shows the list in the current view mode, and the model under it.
    QAbstractItemView* currentView() const;
    ListModel* model() const;

    QSize sizeHint() const override;

public slots:
    // Shows the About box modally; returns when it is closed.
    void showAbout();

signals:
    // The control's events, with its parameters. itemClick's row is the clicked row's 1-based
    // number in the list's current order, in full: the control's own event carries -1 for a row
    // past 32,767, and the widget then passes the current row, which the control has made the
    // clicked row before raising. A row without a readable date gives 1899-12-30 00:00 as
    // modified.
    void click();
    void dblClick();
    void mouseDown(short button, short shift, float x, float y);
    void mouseMove(short button, short shift, float x, float y);
    void mouseUp(short button, short shift, float x, float y);
    void itemClick(int row, const QString& name, const QString& size, const QString& packed, const QString& fileType,
                   const QDateTime& modified);
    void columnClick(int column);

    // A property has a new value (the control's names: "Archive", "BackColor", "Picture", ...);
    // the matching notify signal comes first.
    void propertyChanged(const QString& name);
    void backColorChanged();
    void foreColorChanged();
    void fontChanged();
    void enabledChanged();
    void visibleChanged();
    void viewChanged();
    void archiveChanged();
    void pictureChanged();

    // An assignment the control refused: Archive through archiveError, View through propertyError.
    void archiveError(int number, const QString& description);
    void propertyError(const QString& property, int number, const QString& description);
    // The control ended its handling of a user action with an error; event is the control's event
    // the action raises ("ItemClick", "ColumnClick", "MouseDown", ...).
    void eventError(const QString& event, int number, const QString& description);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Surface;
    std::unique_ptr<Surface> d_;
};

} // namespace quenarch::qt
