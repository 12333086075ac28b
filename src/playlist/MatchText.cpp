#include "MatchText.h"

#include <QString>

#include <algorithm>

namespace pelto {

namespace {

// Letters that compatibility normalization leaves as they are, whatever stands beside
// them (combining marks aside, which are not among them): ASCII, the ideographic space
// (which becomes a plain one), the ideographic comma and full stop, hiragana, katakana
// with the long vowel mark and the iteration marks, and the common kanji.
bool isPlain(char16_t u) {
    return u < 0x80 || (u >= 0x3000 && u <= 0x3002) || (u >= 0x3041 && u <= 0x3096) ||
           u == 0x309D || u == 0x309E || (u >= 0x30A1 && u <= 0x30FA) ||
           (u >= 0x30FC && u <= 0x30FE) || (u >= 0x4E00 && u <= 0x9FFF);
}

// Hiragana as the katakana of the same sound: ぁ … ゖ are ァ … ヶ, 0x60 further on, and
// the iteration marks ゝ ゞ are ヽ ヾ; other letters as they are.
char16_t katakanaOf(char16_t u) {
    return (u >= 0x3041 && u <= 0x3096) || u == 0x309D || u == 0x309E ? char16_t(u + 0x60) : u;
}

// A plain letter in match form: ASCII in lower case, the ideographic space a plain one,
// hiragana as katakana.
char16_t plainForm(char16_t u) {
    if (u >= u'A' && u <= u'Z')
        return char16_t(u - u'A' + u'a');
    return u == 0x3000 ? u' ' : katakanaOf(u);
}

// Writes the letter in UTF-8 at `at` and returns the place after it.
char* writeUtf8(char16_t u, char* at) {
    if (u < 0x80) {
        *at++ = char(u);
    } else if (u < 0x800) {
        *at++ = char(0xC0 | (u >> 6));
        *at++ = char(0x80 | (u & 0x3F));
    } else {
        *at++ = char(0xE0 | (u >> 12));
        *at++ = char(0x80 | ((u >> 6) & 0x3F));
        *at++ = char(0x80 | (u & 0x3F));
    }
    return at;
}

void hiraganaToKatakana(QString& text) {
    for (QChar& c : text)
        c = QChar(katakanaOf(c.unicode()));
}

QString matchFormText(QStringView text) {
    QString form = text.toString().normalized(QString::NormalizationForm_KC).toCaseFolded();
    hiraganaToKatakana(form);
    return form;
}

} // namespace

void appendMatchForm(QStringView text, std::string& out) {
    // Most paths, titles and names are made of plain letters only: the quick way gives
    // the same bytes as normalizing, folding and mapping the kana.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return isPlain(c.unicode()); })) {
        const size_t start = out.size();
        out.resize(start + 3 * size_t(text.size()));
        char* end = out.data() + start;
        for (QChar c : text)
            end = writeUtf8(plainForm(c.unicode()), end);
        out.resize(size_t(end - out.data()));
        return;
    }
    out += matchFormText(text).toStdString();
}

std::string matchForm(QStringView text) {
    std::string form;
    appendMatchForm(text, form);
    return form;
}

MatchQuery::MatchQuery(QStringView query) {
    const QString form = matchFormText(query);
    m_form = form.toStdString();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= form.size(); ++i) {
        if (i < form.size() && !form[i].isSpace())
            continue;
        if (i > start)
            m_words.push_back(QStringView(form).sliced(start, i - start).toUtf8().toStdString());
        start = i + 1;
    }
    std::stable_sort(
        m_words.begin(), m_words.end(),
        [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
}

bool MatchQuery::matches(std::string_view text) const {
    return std::all_of(m_words.begin(), m_words.end(), [text](const std::string& word) {
        return text.find(word) != std::string_view::npos;
    });
}

bool MatchQuery::narrows(const MatchQuery& wider) const {
    return std::string_view(m_form).starts_with(wider.m_form);
}

} // namespace pelto
