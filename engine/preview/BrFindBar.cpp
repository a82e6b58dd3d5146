#include "engine/preview/BrFindBar.h"

#include "engine/store/ThreadHandOff.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace tavim {

namespace {

constexpr int kTextWidth = 240;
constexpr int kCountWidth = 120;

QToolButton* button(const QString& name, const QString& text, const QString& hint) {
    auto* b = new QToolButton;
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    return b;
}

} // namespace

TBrFindBar::TBrFindBar(QWidget* parent)
    : QWidget(parent), m_text(new QLineEdit), m_count(new QLabel) {
    setObjectName("FindBar");
    m_text->setObjectName("FindText");
    m_text->setPlaceholderText(QStringLiteral("Find in the report"));
    m_text->setFixedWidth(kTextWidth);
    m_text->setClearButtonEnabled(true);
    m_count->setObjectName("FindCount");
    m_count->setMinimumWidth(kCountWidth);

    QToolButton* previousButton = button("FindPrevious", QStringLiteral("Previous"),
                                         QStringLiteral("Previous match (Shift+F3)"));
    QToolButton* nextButton =
        button("FindNext", QStringLiteral("Next"), QStringLiteral("Next match (Enter, F3)"));
    QToolButton* closeButton =
        button("FindClose", QStringLiteral("\u00D7"), QStringLiteral("Close the find bar (Esc)"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Find:")));
    layout->addWidget(m_text);
    layout->addWidget(previousButton);
    layout->addWidget(nextButton);
    layout->addWidget(m_count);
    layout->addStretch(1);
    layout->addWidget(closeButton);

    connect(m_text, &QLineEdit::textChanged, this, [this] { search(); });
    connect(previousButton, &QToolButton::clicked, this, [this] { previous(); });
    connect(nextButton, &QToolButton::clicked, this, [this] { next(); });
    connect(closeButton, &QToolButton::clicked, this, &QWidget::hide);
    hide();
}

TBrFindBar::~TBrFindBar() = default;

void TBrFindBar::attach(TBrPrinter& store) {
    m_store = &store;
}

// The window goes after this: nothing is shown to it any more, not even on hiding.
void TBrFindBar::detach() {
    m_search.reset();
    m_store = nullptr;
    onShowMatch = nullptr;
}

void TBrFindBar::open() {
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

bool TBrFindBar::typing() const {
    return isVisible() && m_text->hasFocus();
}

void TBrFindBar::next() {
    if (!m_matches.empty())
        select((m_current + 1) % matchCount());
}

void TBrFindBar::previous() {
    if (!m_matches.empty())
        select((m_current + matchCount() - 1) % matchCount());
}

void TBrFindBar::pagesAvailable() {
    if (m_search)
        m_search->wake();
}

void TBrFindBar::pagesReplaced() {
    if (!m_search)
        return;
    m_search->pagesReplaced();
    search();
}

// The worker starts with the first search, so a preview nobody searches costs no thread.
void TBrFindBar::search() {
    m_matches.clear();
    m_current = -1;
    m_fromPage = shownPage ? shownPage() : 1;
    m_caughtUp = false;
    m_error.clear();
    if (onShowMatch)
        onShowMatch(nullptr);
    if (m_store && !m_search && !m_text->text().isEmpty())
        m_search = std::make_unique<TBrPageSearch>(*m_store, this);
    if (m_search)
        m_query = m_search->setQuery(m_text->text());
    showCount();
}

bool TBrFindBar::event(QEvent* event) {
    if (event->type() != TBrSearchEvent::type())
        return QWidget::event(event);
    handOffAcquire(event);
    auto* found = static_cast<TBrSearchEvent*>(event);
    if (found->query == m_query)
        received(*found);
    return true;
}

// The first match of a search is shown as soon as it is found.
void TBrFindBar::received(TBrSearchEvent& found) {
    m_matches.insert(m_matches.end(), found.matches.begin(), found.matches.end());
    m_caughtUp = found.caughtUp;
    m_error = found.error;
    if (m_current < 0)
        selectFirst();
    showCount();
}

// Matches come in page order: the first one on or after the page the search
// started from, or, once every page is searched, the first of all.
void TBrFindBar::selectFirst() {
    const auto from =
        std::find_if(m_matches.begin(), m_matches.end(),
                     [&](const TBrTextMatch& match) { return match.page >= m_fromPage; });
    if (from != m_matches.end())
        select(int(from - m_matches.begin()));
    else if (m_caughtUp && !m_matches.empty())
        select(0);
}

void TBrFindBar::select(int index) {
    m_current = index;
    showCount();
    if (onShowMatch)
        onShowMatch(&m_matches[std::size_t(index)]);
}

void TBrFindBar::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (onShowMatch)
        onShowMatch(nullptr);
}

void TBrFindBar::showCount() {
    QString count;
    if (m_text->text().isEmpty())
        count.clear();
    else if (m_matches.empty())
        count = m_caughtUp ? QStringLiteral("No matches") : QStringLiteral("Searching");
    else
        count = QStringLiteral("%1 of %2").arg(m_current + 1).arg(matchCount());
    // A page that could not be read ends the search there; what was found stays.
    if (!m_error.isEmpty())
        count = count.isEmpty() ? m_error : count + QStringLiteral(" (") + m_error + ')';
    m_count->setText(count);
}

} // namespace tavim
