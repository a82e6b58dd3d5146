#pragma once

#include "engine/preview/BrPageSearch.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;

namespace tavim {

class TBrPrinter;

// The preview's find bar: a text box, Previous and Next, and the match count
// ("3 of 41"). Searches the store's finished pages as the text is typed and
// hands the chosen match to onShowMatch.
// Threads: user-interface thread only; the search runs on its own worker.
class TBrFindBar : public QWidget {
public:
    explicit TBrFindBar(QWidget* parent = nullptr);
    ~TBrFindBar() override;

    void attach(TBrPrinter& store);
    // Stops the search and forgets the store and onShowMatch: before the
    // store and the window go.
    void detach();

    // Shows the bar with its text selected, ready for typing.
    void open();
    void next();
    void previous();
    bool typing() const; // the text box has the focus

    // More pages may be finished; the store holds other pages now.
    void pagesAvailable();
    void pagesReplaced();

    int matchCount() const { return int(m_matches.size()); }
    bool caughtUp() const { return m_caughtUp; }

    // The chosen match; nullptr when there is none to show any more (a new
    // search, the bar closed).
    std::function<void(const TBrTextMatch* match)> onShowMatch;
    // The page on screen: a new search shows its first match from there on,
    // as a reader who has paged to the middle expects.
    std::function<int()> shownPage;

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void search();
    void received(TBrSearchEvent& found);
    void select(int index);
    void selectFirst();
    void showCount();

    TBrPrinter* m_store = nullptr;
    std::unique_ptr<TBrPageSearch> m_search;
    quint64 m_query = 0;
    std::vector<TBrTextMatch> m_matches;
    int m_current = -1;
    int m_fromPage = 1;
    bool m_caughtUp = false;
    QString m_error;
    QLineEdit* m_text;
    QLabel* m_count;
};

} // namespace tavim
