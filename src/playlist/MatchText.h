#pragma once

#include <QStringView>

#include <string>
#include <vector>

namespace pelto {

// The form in which the find window compares texts: compatibility-normalized (NFKC:
// full-width letters and digits become plain ones, half-width katakana full-width),
// case folded, and hiragana written as katakana, so "ｱｰﾃｨｽﾄ" and "あーてぃすと" both
// read "アーティスト" and "ＡＢＣ" reads "abc". Appended to `out` in UTF-8, whose
// substrings are exactly the substrings of the text.
void appendMatchForm(QStringView text, std::string& out);
std::string matchForm(QStringView text);

// A query of the find window: its words in match form, split at white space (the
// ideographic space included); none for a query of only spaces, which every row
// matches. A text matches when it holds every word, in any order.
class MatchQuery {
public:
    MatchQuery() = default;
    explicit MatchQuery(QStringView query);

    const std::vector<std::string>& words() const { return m_words; }
    bool matchesEverything() const { return m_words.empty(); }
    // Whether the text (in match form) holds every word.
    bool matches(std::string_view text) const;
    // Whether every text this query matches is matched by `wider` too: the query is
    // the wider one typed on (its words, the last one perhaps longer, and more).
    bool narrows(const MatchQuery& wider) const;

private:
    std::string m_form;               // the whole query in match form
    std::vector<std::string> m_words; // longest first: the likeliest to fail soonest
};

} // namespace pelto
