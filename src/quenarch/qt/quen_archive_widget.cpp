#include "quenarch/qt/quen_archive_widget.h"

#include "quenarch/base/automation_error.h"
#include "quenarch/qt/about_dialog.h"
#include "quenarch/qt/conversions.h"
#include "quenarch/qt/desktop_platform.h"
#include "quenarch/qt/list_delegate.h"
#include "quenarch/qt/list_model.h"
#include "quenarch/qt/view_text_conversion.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QStackedLayout>
#include <QTreeView>

#include <algorithm>
#include <cmath>

namespace quenarch::qt {
namespace {

// The control's default size at design, in twips.
constexpr int designWidth = 4965;
constexpr int designHeight = 3060;

// Button and key codes of the control's mouse events.
std::int16_t buttonCode(Qt::MouseButtons buttons)
{
    std::int16_t code = 0;
    if (buttons & Qt::LeftButton) code |= 1;
    if (buttons & Qt::RightButton) code |= 2;
    if (buttons & Qt::MiddleButton) code |= 4;
    return code;
}

std::int16_t shiftCode(Qt::KeyboardModifiers modifiers)
{
    std::int16_t code = 0;
    if (modifiers & Qt::ShiftModifier) code |= 1;
    if (modifiers & Qt::ControlModifier) code |= 2;
    if (modifiers & Qt::AltModifier) code |= 4;
    return code;
}

template <typename T>
T argumentOr(std::span<Variant> arguments, std::size_t position, T fallback)
{
    if (position >= arguments.size()) return fallback;
    const T* value = arguments[position].get<T>();
    return value != nullptr ? *value : fallback;
}

QString textArgument(std::span<Variant> arguments, std::size_t position)
{
    return QString::fromStdString(argumentOr<std::string>(arguments, position, {}));
}

ControlError controlError(const AutomationError& error)
{
    return {error.number(), QString::fromStdString(error.source()), QString::fromStdString(error.description())};
}

std::string controlArchive(const QuenArchive& control)
{
    const Variant value = control.Archive();
    const std::string* text = value.get<std::string>();
    return text != nullptr ? *text : std::string();
}

} // namespace

// The control's host: the widget's surface, the two views of the list and the mouse tracking.
// It presents the list as the list's presentation observer; the model follows the rows.
class QuenArchiveWidget::Surface final : public Host, private ListPresentationObserver {
public:
    Surface(QuenArchiveWidget& widget, Platform platform);
    ~Surface() override;

    // Host
    void propertyChanged(std::string_view name) override;
    void raiseEvent(EventId id, std::span<Variant> arguments) override;
    float scaleX(float twips) const override;
    float scaleY(float twips) const override;
    void processMessages() override { QCoreApplication::processEvents(); }
    bool enabled() const override { return !q.testAttribute(Qt::WA_ForceDisabled); } // its own, not its parent's
    void setEnabled(bool enabled) override { q.setEnabled(enabled); }
    std::int32_t scaleWidth() const override { return static_cast<std::int32_t>(std::lround(twipsFromPixels(q.width(), q.logicalDpiX()))); }
    std::int32_t scaleHeight() const override { return static_cast<std::int32_t>(std::lround(twipsFromPixels(q.height(), q.logicalDpiY()))); }
    void setFocusToList() override { currentView()->setFocus(Qt::OtherFocusReason); }
    // Over the window the widget is in.
    void showAbout() override { AboutDialog::showShared(&q); }

    QAbstractItemView* currentView() const { return stack->currentWidget() == reportView ? static_cast<QAbstractItemView*>(reportView) : iconView; }
    void mouseEvent(QAbstractItemView* view, QMouseEvent* event);
    // Runs a step of the control's handling of a user action that raises event; an error ends
    // the action there and is reported. False when it failed.
    template <typename Step>
    bool handle(const char* event, Step step);

    void applyViewMode();
    void applyAppearance();
    void applyGeometry();
    void applyColumns();
    void applySortIndicator();
    void showSelection(int row);
    void followUserSelection();

    // ListPresentationObserver
    void selectionChanged(std::size_t index) override { showSelection(static_cast<int>(index) - 1); }
    void scrollRequested(std::size_t index) override;
    void viewModeChanged() override { applyViewMode(); }
    void appearanceChanged() override { applyAppearance(); }
    void geometryChanged() override { applyGeometry(); }
    void sortChanged() override { applySortIndicator(); }
    void repaintRequested() override { currentView()->viewport()->update(); }

    int pixelsX(double twips) const { return static_cast<int>(std::lround(pixelsFromTwips(twips, q.logicalDpiX()))); }
    int pixelsY(double twips) const { return static_cast<int>(std::lround(pixelsFromTwips(twips, q.logicalDpiY()))); }

    QuenArchiveWidget& q;
    QWidget* listFrame;
    QStackedLayout* stack;
    QTreeView* reportView;
    QListView* iconView;
    std::unique_ptr<QuenArchive> control;
    std::unique_ptr<ListModel> model;
    ControlError lastError;
    // The path last given to setArchive, and the control's Archive right after.
    QString givenArchive;
    std::string archiveAsStored;

    // A click is a left press and release; it is a row click when both fall on one row.
    std::size_t pressedRow = 0;
    bool releaseEndsDoubleClick = false;
    // Set while the views are being brought in step with the list, so that their own signals
    // are not taken for the user's.
    bool followingList = false;
};

QuenArchiveWidget::Surface::Surface(QuenArchiveWidget& widget, Platform platform)
    : q(widget),
      listFrame(new QWidget(&widget)),
      stack(new QStackedLayout(listFrame)),
      reportView(new QTreeView),
      iconView(new QListView)
{
    listFrame->setObjectName(QStringLiteral("fileview"));
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(reportView);
    stack->addWidget(iconView);
    widget.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    reportView->setRootIsDecorated(false);
    reportView->setItemsExpandable(false);
    reportView->setUniformRowHeights(true);
    reportView->setSortingEnabled(false); // the control sorts
    reportView->setAllColumnsShowFocus(true);
    reportView->setIconSize(QSize(16, 16));
    QHeaderView* header = reportView->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);

    reportView->setItemDelegate(new ListDelegate(reportView));
    iconView->setItemDelegate(new ListDelegate(iconView));
    iconView->setLayoutMode(QListView::Batched);
    iconView->setUniformItemSizes(true);
    iconView->setTextElideMode(Qt::ElideRight);

    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(reportView), static_cast<QAbstractItemView*>(iconView)}) {
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setDragEnabled(false);
        view->viewport()->setMouseTracking(true);
        view->viewport()->installEventFilter(&q);
    }

    control = std::make_unique<QuenArchive>(*this, std::move(platform));
    model = std::make_unique<ListModel>(control->fileview());

    control->fileview().setPresentationObserver(this);
    // The header turns its indicator before it tells of the click; a click the control did not
    // take (an error before it sorted) must not leave it turned.
    QObject::connect(header, &QHeaderView::sectionClicked, &q, [this](int section) {
        if (!handle("ColumnClick", [&] { control->listColumnClick(section + 1); })) applySortIndicator();
    });

    applyViewMode();
    applyAppearance();
    applyGeometry();
}

QuenArchiveWidget::Surface::~Surface() { control->fileview().setPresentationObserver(nullptr); }

void QuenArchiveWidget::Surface::scrollRequested(std::size_t index)
{
    const QModelIndex row = model->indexOfRow(index);
    if (row.isValid()) currentView()->scrollTo(row);
}

void QuenArchiveWidget::Surface::propertyChanged(std::string_view name)
{
    using Notify = void (QuenArchiveWidget::*)();
    static const std::array<std::pair<std::string_view, Notify>, 8> notifications{{
        {"BackColor", &QuenArchiveWidget::backColorChanged},
        {"ForeColor", &QuenArchiveWidget::foreColorChanged},
        {"Font", &QuenArchiveWidget::fontChanged},
        {"Enabled", &QuenArchiveWidget::enabledChanged},
        {"Visible", &QuenArchiveWidget::visibleChanged},
        {"View", &QuenArchiveWidget::viewChanged},
        {"Archive", &QuenArchiveWidget::archiveChanged},
        {"Picture", &QuenArchiveWidget::pictureChanged},
    }};
    for (const auto& [property, notify] : notifications)
        if (property == name) (q.*notify)();
    emit q.propertyChanged(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void QuenArchiveWidget::Surface::raiseEvent(EventId id, std::span<Variant> arguments)
{
    const auto button = argumentOr<std::int16_t>(arguments, 0, 0);
    const auto shift = argumentOr<std::int16_t>(arguments, 1, 0);
    const auto x = argumentOr<float>(arguments, 2, 0);
    const auto y = argumentOr<float>(arguments, 3, 0);
    switch (id) {
    case EventId::Click:
        emit q.click();
        break;
    case EventId::DblClick:
        emit q.dblClick();
        break;
    case EventId::MouseDown:
        emit q.mouseDown(button, shift, x, y);
        break;
    case EventId::MouseMove:
        emit q.mouseMove(button, shift, x, y);
        break;
    case EventId::MouseUp:
        emit q.mouseUp(button, shift, x, y);
        break;
    case EventId::ItemClick: {
        const std::int16_t eventRow = argumentOr<std::int16_t>(arguments, 0, -1);
        const int row = eventRow >= 0 ? eventRow : control->currentRow();
        const Variant::DateValue modified = argumentOr<Variant::DateValue>(arguments, 5, {0});
        emit q.itemClick(row, textArgument(arguments, 1), textArgument(arguments, 2), textArgument(arguments, 3), textArgument(arguments, 4),
                         dateTimeFromAutomationDate(modified.value));
        break;
    }
    case EventId::ColumnClick:
        emit q.columnClick(argumentOr<std::int16_t>(arguments, 0, 0));
        break;
    }
}

float QuenArchiveWidget::Surface::scaleX(float twips) const
{
    const int origin = q.isWindow() ? 0 : q.x();
    return static_cast<float>(pixelsFromTwips(twips, q.logicalDpiX())) + static_cast<float>(origin);
}

float QuenArchiveWidget::Surface::scaleY(float twips) const
{
    const int origin = q.isWindow() ? 0 : q.y();
    return static_cast<float>(pixelsFromTwips(twips, q.logicalDpiY())) + static_cast<float>(origin);
}

void QuenArchiveWidget::Surface::mouseEvent(QAbstractItemView* view, QMouseEvent* event)
{
    // Positions count from the list's top-left corner, above its header.
    const QPointF inList = event->position() + QPointF(view->viewport()->mapTo(view, QPoint(0, 0)));
    const auto x = static_cast<float>(twipsFromPixels(inList.x(), q.logicalDpiX()));
    const auto y = static_cast<float>(twipsFromPixels(inList.y(), q.logicalDpiY()));
    std::int16_t shift = shiftCode(event->modifiers());
    const auto rowUnder = [&] { return ListModel::rowOfIndex(view->indexAt(event->position().toPoint())); };

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        std::int16_t button = buttonCode(event->button());
        if (event->button() == Qt::LeftButton) pressedRow = rowUnder();
        handle("MouseDown", [&] { control->listMouseDown(button, shift, x, y); });
        break;
    }
    case QEvent::MouseButtonDblClick: {
        std::int16_t button = buttonCode(event->button());
        if (!handle("MouseDown", [&] { control->listMouseDown(button, shift, x, y); })) break;
        if (event->button() == Qt::LeftButton) {
            releaseEndsDoubleClick = true;
            handle("DblClick", [&] { control->listDblClick(); });
        }
        break;
    }
    case QEvent::MouseMove: {
        std::int16_t buttons = buttonCode(event->buttons());
        handle("MouseMove", [&] { control->listMouseMove(buttons, shift, x, y); });
        break;
    }
    case QEvent::MouseButtonRelease: {
        std::int16_t button = buttonCode(event->button());
        const bool released = handle("MouseUp", [&] { control->listMouseUp(button, shift, x, y); });
        if (event->button() != Qt::LeftButton) break;
        if (releaseEndsDoubleClick) {
            releaseEndsDoubleClick = false;
            break;
        }
        if (!released) break;
        const std::size_t row = rowUnder();
        if (row != 0 && row == pressedRow && row <= control->fileview().count() && !handle("ItemClick", [&] { control->listItemClick(row); })) break;
        handle("Click", [&] { control->listClick(); });
        break;
    }
    default:
        break;
    }
}

template <typename Step>
bool QuenArchiveWidget::Surface::handle(const char* event, Step step)
{
    try {
        step();
        return true;
    } catch (const AutomationError& error) {
        lastError = controlError(error);
        emit q.eventError(QString::fromLatin1(event), lastError.number, lastError.description);
        return false;
    }
}

void QuenArchiveWidget::Surface::applyViewMode()
{
    const ViewMode mode = control->fileview().view();
    if (mode != ViewMode::Report) {
        // Cells of a fixed grid keep the layout of 100,000 items a matter of arithmetic.
        const QFontMetrics metrics = iconView->fontMetrics();
        iconView->setViewMode(mode == ViewMode::Icon ? QListView::IconMode : QListView::ListMode);
        iconView->setMovement(QListView::Static);
        iconView->setFlow(mode == ViewMode::List ? QListView::TopToBottom : QListView::LeftToRight);
        iconView->setWrapping(true);
        iconView->setResizeMode(QListView::Adjust);
        iconView->setWordWrap(mode == ViewMode::Icon);
        if (mode == ViewMode::Icon) {
            iconView->setIconSize(QSize(32, 32));
            iconView->setGridSize(QSize(std::max(90, 13 * metrics.averageCharWidth()), 32 + 2 * metrics.lineSpacing() + 12));
        } else {
            iconView->setIconSize(QSize(16, 16));
            iconView->setGridSize(QSize(16 + 8 + 20 * metrics.averageCharWidth(), std::max(16, metrics.lineSpacing()) + 4));
        }
    }

    // Only the view on show holds the model: a hidden one would lay out every row for nothing.
    QAbstractItemView* shown = mode == ViewMode::Report ? static_cast<QAbstractItemView*>(reportView) : iconView;
    QAbstractItemView* hidden = shown == reportView ? static_cast<QAbstractItemView*>(iconView) : reportView;
    if (hidden->model() == model.get()) {
        QItemSelectionModel* oldSelection = hidden->selectionModel();
        hidden->setModel(nullptr);
        delete oldSelection;
    }
    const bool attach = shown->model() != model.get();
    if (attach) {
        QItemSelectionModel* oldSelection = shown->selectionModel();
        shown->setModel(model.get());
        delete oldSelection;
        QObject::connect(shown->selectionModel(), &QItemSelectionModel::selectionChanged, &q, [this] { followUserSelection(); });
        if (shown == reportView) {
            applyColumns();
            applySortIndicator();
        }
    }
    const bool hadFocus = stack->currentWidget() != shown && stack->currentWidget()->hasFocus();
    stack->setCurrentWidget(shown);
    if (hadFocus) shown->setFocus(Qt::OtherFocusReason);
    if (attach) showSelection(static_cast<int>(control->fileview().selectedIndex()) - 1);
}

void QuenArchiveWidget::Surface::applyColumns()
{
    QHeaderView* header = reportView->header();
    const std::vector<ColumnHeader>& columns = control->fileview().columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int section = static_cast<int>(i);
        // A column of no width is storage, not for show.
        header->setSectionHidden(section, columns[i].width <= 0);
        if (columns[i].width > 0) header->resizeSection(section, pixelsX(columns[i].width));
    }
}

void QuenArchiveWidget::Surface::applySortIndicator()
{
    const ListView& list = control->fileview();
    QHeaderView* header = reportView->header();
    header->setSortIndicatorShown(list.sorted());
    if (!list.sorted()) return;
    // A key beyond the columns sorts by the row's text, the Name column.
    const int key = list.sortKey();
    const int section = key >= 0 && key < header->count() ? key : 0;
    header->setSortIndicator(section, list.sortOrder() == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void QuenArchiveWidget::Surface::applyAppearance()
{
    const ListView& list = control->fileview();
    const QPalette system = QGuiApplication::palette();
    const QColor background = colorFromOle(list.backColor(), system);
    const QColor text = colorFromOle(list.foreColor(), system);
    const QFont font = qFontFromFont(*list.font());
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(reportView), static_cast<QAbstractItemView*>(iconView)}) {
        // A disabled list keeps the desktop's disabled colours.
        QPalette palette = view->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Base, background);
            palette.setColor(group, QPalette::Text, text);
        }
        view->setPalette(palette);
        view->setFont(font);
    }
    listFrame->setVisible(list.visible());
}

void QuenArchiveWidget::Surface::applyGeometry()
{
    const ListView& list = control->fileview();
    listFrame->setGeometry(pixelsX(list.left()), pixelsY(list.top()), pixelsX(list.width()), pixelsY(list.height()));
}

void QuenArchiveWidget::Surface::showSelection(int row)
{
    QItemSelectionModel* selection = currentView()->selectionModel();
    if (selection == nullptr || currentView()->model() != model.get()) return;
    followingList = true;
    if (row < 0)
        selection->clearSelection();
    else
        selection->setCurrentIndex(model->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    followingList = false;
}

void QuenArchiveWidget::Surface::followUserSelection()
{
    if (followingList) return;
    const QModelIndexList rows = currentView()->selectionModel()->selectedRows();
    const std::size_t row = rows.isEmpty() ? 0 : ListModel::rowOfIndex(rows.front());
    if (row > control->fileview().count()) return;
    followingList = true;
    control->fileview().select(row);
    followingList = false;
}

QuenArchiveWidget::QuenArchiveWidget(QWidget* parent) : QuenArchiveWidget(desktopPlatform(), parent) {}

QuenArchiveWidget::QuenArchiveWidget(Platform platform, QWidget* parent) : QWidget(parent)
{
    registerViewTextConversion();
    d_ = std::make_unique<Surface>(*this, std::move(platform));
}

QuenArchiveWidget::~QuenArchiveWidget()
{
    // The views go first: they watch the model and are watched by this widget.
    delete d_->listFrame;
    d_.reset();
}

QuenArchive& QuenArchiveWidget::control() { return *d_->control; }

const QuenArchive& QuenArchiveWidget::control() const { return *d_->control; }

void QuenArchiveWidget::readProperties(PropertyBag& bag) { d_->control->ReadProperties(bag); }

void QuenArchiveWidget::writeProperties(PropertyBag& bag) { d_->control->WriteProperties(bag); }

QColor QuenArchiveWidget::backColor() const { return colorFromOle(d_->control->BackColor(), QGuiApplication::palette()); }

void QuenArchiveWidget::setBackColor(const QColor& color) { d_->control->LetBackColor(oleFromColor(color)); }

QColor QuenArchiveWidget::foreColor() const { return colorFromOle(d_->control->ForeColor(), QGuiApplication::palette()); }

void QuenArchiveWidget::setForeColor(const QColor& color) { d_->control->LetForeColor(oleFromColor(color)); }

QFont QuenArchiveWidget::controlFont() const { return qFontFromFont(*d_->control->Font()); }

void QuenArchiveWidget::setControlFont(const QFont& font) { d_->control->SetFont(fontFromQFont(font)); }

bool QuenArchiveWidget::controlEnabled() const { return d_->control->Enabled(); }

void QuenArchiveWidget::setControlEnabled(bool enabled) { d_->control->LetEnabled(enabled); }

bool QuenArchiveWidget::controlVisible() const { return d_->control->Visible(); }

void QuenArchiveWidget::setControlVisible(bool visible) { d_->control->LetVisible(visible); }

QString QuenArchiveWidget::view() const
{
    const Variant value = d_->control->View();
    const std::string* text = value.get<std::string>();
    return text != nullptr ? QString::fromStdString(*text) : QString();
}

void QuenArchiveWidget::setView(const QString& view)
{
    try {
        d_->control->LetView(Variant(view.toStdString()));
        d_->lastError = {};
    } catch (const AutomationError& error) {
        d_->lastError = controlError(error);
        emit propertyError(QStringLiteral("View"), d_->lastError.number, d_->lastError.description);
    }
}

QuenArchiveWidget::ViewChoice QuenArchiveWidget::viewChoice() const { return static_cast<ViewChoice>(d_->control->fileview().view()); }

void QuenArchiveWidget::setView(ViewChoice view) { setView(QString::number(static_cast<int>(view))); }

QString QuenArchiveWidget::archive() const
{
    std::string stored = controlArchive(*d_->control);
    return stored == d_->archiveAsStored ? d_->givenArchive : QString::fromStdString(stored);
}

void QuenArchiveWidget::setArchive(const QString& path)
{
    d_->givenArchive = path;
    try {
        d_->control->LetArchive(Variant(path.toStdString()));
        d_->lastError = {};
    } catch (const AutomationError& error) {
        d_->lastError = controlError(error);
        d_->archiveAsStored = controlArchive(*d_->control);
        emit archiveError(d_->lastError.number, d_->lastError.description);
        return;
    }
    d_->archiveAsStored = controlArchive(*d_->control);
}

QPixmap QuenArchiveWidget::picture() const { return pixmapFromPicture(d_->control->Picture()); }

const ControlError& QuenArchiveWidget::lastError() const { return d_->lastError; }

QAbstractItemView* QuenArchiveWidget::currentView() const { return d_->currentView(); }

ListModel* QuenArchiveWidget::model() const { return d_->model.get(); }

QSize QuenArchiveWidget::sizeHint() const { return {d_->pixelsX(designWidth), d_->pixelsY(designHeight)}; }

void QuenArchiveWidget::showAbout() { d_->control->ShowAbout(); }

void QuenArchiveWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (d_) d_->control->Resize();
}

void QuenArchiveWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // System colours follow the desktop's palette.
    if (d_ && (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange)) d_->applyAppearance();
}

bool QuenArchiveWidget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (d_ && (watched == d_->reportView->viewport() || watched == d_->iconView->viewport())) {
            auto* view = static_cast<QAbstractItemView*>(static_cast<QWidget*>(watched)->parentWidget());
            d_->mouseEvent(view, static_cast<QMouseEvent*>(event));
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quenarch::qt
