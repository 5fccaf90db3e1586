#include "Platform/ExtractiveSummary.h"

#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <utility>

namespace vantory::ExtractiveSummary {

namespace {

// Sentences shorter than this say too little to summarise anything; longer ones would
// eat the word budget (both limits are in words).
constexpr int shortestSentence = 6;
constexpr int longestSentence = 45;
constexpr int mostSections = 4;
constexpr int fewestSections = 2;
constexpr int mostSentencesPerSection = 3;
constexpr double damping = 0.85;
constexpr int rankIterations = 40;

struct Sentence {
    QString text;
    int words = 0;
    std::map<QString, double> weights; // TF-IDF of its terms
    double rank = 0;
};

const QSet<QString>& stopWords()
{
    static const QSet<QString> words = [] {
        const QString list = QStringLiteral(
            "about above after again against all also although among and another any are aren't as at be because been "
            "before being below between both but by can cannot could did does doing done down during each either else "
            "even ever every few for from further had has have having he her here hers herself him himself his how "
            "however i if in into is it its itself just least less let like made make makes many may me might more most "
            "much must my myself neither no nor not now of off on once one only or other others otherwise our ours "
            "ourselves out over own per rather same shall she should since so some such than that the their theirs them "
            "themselves then there therefore these they this those though through thus to too under unless until up "
            "upon us use used using very via was we were what whatever when where whether which while who whom whose "
            "why will with within without would yet you your yours yourself");
        const QStringList split = list.split(QLatin1Char(' '));
        return QSet<QString>(split.begin(), split.end());
    }();
    return words;
}

// The glyphs that mark list items.
const QString& bullets()
{
    static const QString glyphs =
        QStringLiteral("\u2022\u25E6\u25AA\u25AB\u2023\u2043\u25CF\u25CB\u25A0\u25A1\u25BA\u25B8\u27A2\uF0B7");
    return glyphs;
}

// A list item's marker at the start of a line: a bullet; or a dash, a star or a number
// with "." or ")" followed by a space.
const QRegularExpression& listMarker()
{
    static const QRegularExpression marker(
        QStringLiteral("^\\s*(?:[%1]\\s*|[\u2013\u2014\u00B7*-]\\s+|\\(?\\d{1,3}[.)]\\s+)").arg(bullets()));
    return marker;
}

// Bullets also stand inside a line, where text taken from slides often puts them: each
// starts an item.
const QRegularExpression& beforeBullet()
{
    static const QRegularExpression before(QStringLiteral("(?=[%1])").arg(bullets()));
    return before;
}

// A full stop, a question or an exclamation mark that ends a sentence.
bool holdsSentenceEnds(const QString& text)
{
    static const QRegularExpression end(QStringLiteral("[.!?\u2026\u3002\uFF01\uFF1F][\"'\u201D\u2019)\\]]*(?:\\s|$)"));
    return text.contains(end);
}

// The stretches of text that hold whole sentences. In prose, hard-wrapped lines are
// joined and a blank line ends a stretch; a line that starts a list item starts one too.
// Text with no sentence ends at all (slides, bullet lists) has one stretch per line and
// per bullet. List markers are left out.
QStringList passages(const QString& text)
{
    static const QRegularExpression blankLine(QStringLiteral("\\n[ \\t]*\\n"));
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList result;
    for (const QString& block : unified.split(blankLine, Qt::SkipEmptyParts)) {
        const bool prose = holdsSentenceEnds(block);
        QString current;
        const auto flush = [&] {
            if (!current.isEmpty())
                result.append(std::exchange(current, QString()));
        };
        for (const QString& line : block.split(QLatin1Char('\n')))
            for (QString item : line.split(beforeBullet())) {
                const bool startsItem = item.contains(listMarker());
                item = item.remove(listMarker()).simplified();
                if (item.isEmpty())
                    continue;
                if (!prose || startsItem)
                    flush();
                current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + item;
            }
        flush();
    }
    return result;
}

QStringList sentencesOf(const QString& passage)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, passage);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const QString sentence = passage.mid(start, finder.position() - start).trimmed();
        if (!sentence.isEmpty())
            result.append(sentence);
        start = finder.position();
    }
    return result;
}

// Words as a reader counts them, and as the length limit is meant: what stands between spaces.
QStringList tokensOf(const QString& text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QStringList wordsOf(const QString& sentence)
{
    QStringList words;
    QString current;
    for (const QChar c : sentence) {
        if (c.isLetterOrNumber() || (c == QLatin1Char('\'') && !current.isEmpty())) {
            current.append(c.toLower());
        } else if (!current.isEmpty()) {
            words.append(current);
            current.clear();
        }
    }
    if (!current.isEmpty())
        words.append(current);
    return words;
}

bool isTerm(const QString& word)
{
    return word.size() >= 3 && !stopWords().contains(word) && word.front().isLetter();
}

int wordCount(const QString& text)
{
    return static_cast<int>(tokensOf(text).size());
}

// Pieces of at most `longestSentence` words.
std::vector<Sentence> cutToLength(const Sentence& sentence)
{
    const QStringList tokens = tokensOf(sentence.text);
    std::vector<Sentence> pieces;
    for (qsizetype first = 0; first < tokens.size(); first += longestSentence) {
        const QString text = tokens.mid(first, longestSentence).join(QLatin1Char(' '));
        pieces.push_back({text, wordCount(text), {}, 0});
    }
    return pieces;
}

// The text's sentences fit for a summary, in document order. When none is of a fitting
// length, every sentence with a word in it, the long ones cut into pieces that fit.
std::vector<Sentence> candidateSentences(const QString& text)
{
    std::vector<Sentence> all;
    for (const QString& passage : passages(text))
        for (const QString& sentence : sentencesOf(passage))
            if (!wordsOf(sentence).isEmpty())
                all.push_back({sentence, wordCount(sentence), {}, 0});
    std::vector<Sentence> fitting;
    std::copy_if(all.begin(), all.end(), std::back_inserter(fitting),
                 [](const Sentence& s) { return s.words >= shortestSentence && s.words <= longestSentence; });
    if (!fitting.empty())
        return fitting;
    for (const Sentence& sentence : all) {
        const auto pieces = cutToLength(sentence);
        fitting.insert(fitting.end(), pieces.begin(), pieces.end());
    }
    return fitting;
}

void weighTerms(std::vector<Sentence>& sentences)
{
    std::map<QString, int> documentFrequency;
    std::vector<std::map<QString, int>> counts(sentences.size());
    for (std::size_t i = 0; i < sentences.size(); ++i) {
        for (const QString& word : wordsOf(sentences[i].text))
            if (isTerm(word))
                ++counts[i][word];
        for (const auto& [term, count] : counts[i])
            ++documentFrequency[term];
    }
    const double total = static_cast<double>(sentences.size());
    for (std::size_t i = 0; i < sentences.size(); ++i)
        for (const auto& [term, count] : counts[i])
            sentences[i].weights[term] = count * (std::log((1 + total) / (1 + documentFrequency[term])) + 1);
}

double cosine(const Sentence& a, const Sentence& b)
{
    double dot = 0, normA = 0, normB = 0;
    for (const auto& [term, weight] : a.weights) {
        normA += weight * weight;
        if (const auto other = b.weights.find(term); other != b.weights.end())
            dot += weight * other->second;
    }
    for (const auto& [term, weight] : b.weights)
        normB += weight * weight;
    return normA > 0 && normB > 0 ? dot / std::sqrt(normA * normB) : 0;
}

// TextRank: a sentence ranks high when it is like many sentences that rank high.
void rank(std::vector<Sentence>& sentences)
{
    const std::size_t n = sentences.size();
    std::vector<std::vector<double>> similarity(n, std::vector<double>(n, 0));
    std::vector<double> outgoing(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            similarity[i][j] = similarity[j][i] = cosine(sentences[i], sentences[j]);
            outgoing[i] += similarity[i][j];
            outgoing[j] += similarity[i][j];
        }
    std::vector<double> scores(n, 1.0);
    for (int iteration = 0; iteration < rankIterations; ++iteration) {
        std::vector<double> next(n, 1 - damping);
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                if (similarity[j][i] > 0 && outgoing[j] > 0)
                    next[i] += damping * similarity[j][i] / outgoing[j] * scores[j];
        scores = std::move(next);
    }
    for (std::size_t i = 0; i < n; ++i)
        sentences[i].rank = scores[i];
}

// Indices of `sentences` in [first, last), best first; earlier wins a tie.
std::vector<std::size_t> byRank(const std::vector<Sentence>& sentences, std::size_t first, std::size_t last)
{
    std::vector<std::size_t> order(last - first);
    std::iota(order.begin(), order.end(), first);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return sentences[a].rank > sentences[b].rank; });
    return order;
}

QString titleCase(const QString& word)
{
    return word.left(1).toUpper() + word.mid(1);
}

// The two terms that weigh most in a section and are not yet another section's header.
QString headerFor(const std::vector<Sentence>& sentences, std::size_t first, std::size_t last, QSet<QString>& taken)
{
    std::map<QString, double> weight;
    for (std::size_t i = first; i < last; ++i)
        for (const auto& [term, w] : sentences[i].weights)
            weight[term] += w;
    std::vector<std::pair<QString, double>> terms(weight.begin(), weight.end());
    std::stable_sort(terms.begin(), terms.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    QStringList chosen;
    for (const auto& [term, w] : terms) {
        if (taken.contains(term))
            continue;
        taken.insert(term);
        chosen.append(titleCase(term));
        if (chosen.size() == 2)
            break;
    }
    return chosen.isEmpty() ? QStringLiteral("Details") : chosen.join(QStringLiteral(" and "));
}

struct Section {
    QString header;
    std::vector<std::size_t> candidates; // best first
    std::vector<std::size_t> chosen;
};

class Writer {
public:
    explicit Writer(std::vector<Sentence> sentences) : sentences_(std::move(sentences)) { }

    std::vector<std::string> write()
    {
        const std::size_t n = sentences_.size();
        const auto overview = chooseOverview();
        used_.insert(overview);
        const auto takeaway = bestUnused(0, n);
        if (takeaway)
            used_.insert(*takeaway);
        int words = sentences_[overview].words + (takeaway ? sentences_[*takeaway].words + 1 : 0);
        auto sections = planSections();
        for (const auto& section : sections)
            words += wordCount(section.header);
        fillSections(sections, words);

        std::vector<std::string> pieces{sentences_[overview].text.toStdString()};
        for (const auto& section : sections) {
            if (section.chosen.empty())
                continue;
            std::vector<std::size_t> inOrder = section.chosen;
            std::sort(inOrder.begin(), inOrder.end());
            QString piece = QStringLiteral("\n\n**%1**\n").arg(section.header);
            for (std::size_t k = 0; k < inOrder.size(); ++k) {
                piece += (k == 0 ? QString() : QStringLiteral(" ")) + sentences_[inOrder[k]].text;
                pieces.push_back(piece.toStdString());
                piece.clear();
            }
        }
        if (takeaway)
            pieces.push_back(QStringLiteral("\n\n**Takeaway**\n%1").arg(sentences_[*takeaway].text).toStdString());
        return pieces;
    }

private:
    // The best of the opening quarter: documents tend to say what they are about early.
    std::size_t chooseOverview() const
    {
        const std::size_t opening = std::max<std::size_t>(1, sentences_.size() / 4);
        return byRank(sentences_, 0, opening).front();
    }

    std::optional<std::size_t> bestUnused(std::size_t first, std::size_t last) const
    {
        for (const auto index : byRank(sentences_, first, last))
            if (!used_.contains(index))
                return index;
        return std::nullopt;
    }

    // Contiguous stretches of the text, one per section.
    std::vector<Section> planSections() const
    {
        const std::size_t n = sentences_.size();
        const std::size_t left = n - used_.size();
        const std::size_t count = std::clamp<std::size_t>(left / 6, fewestSections, mostSections);
        std::vector<Section> sections;
        QSet<QString> headerTerms;
        for (std::size_t s = 0; s < count; ++s) {
            const std::size_t first = n * s / count;
            const std::size_t last = n * (s + 1) / count;
            Section section;
            for (const auto index : byRank(sentences_, first, last))
                if (!used_.contains(index))
                    section.candidates.push_back(index);
            if (section.candidates.empty())
                continue;
            section.header = headerFor(sentences_, first, last, headerTerms);
            sections.push_back(std::move(section));
        }
        return sections;
    }

    // Round by round, each section takes its next best sentence while the budget lasts.
    void fillSections(std::vector<Section>& sections, int words) const
    {
        for (int round = 0; round < mostSentencesPerSection; ++round) {
            for (auto& section : sections) {
                if (section.chosen.size() != static_cast<std::size_t>(round)
                    || section.candidates.size() <= section.chosen.size())
                    continue;
                const std::size_t next = section.candidates[section.chosen.size()];
                if (words + sentences_[next].words > wordLimit)
                    continue;
                words += sentences_[next].words;
                section.chosen.push_back(next);
            }
        }
    }

    std::vector<Sentence> sentences_;
    std::set<std::size_t> used_;
};

} // namespace

std::vector<std::string> write(const std::string& text)
{
    auto sentences = candidateSentences(QString::fromStdString(text));
    if (sentences.empty())
        return {};
    weighTerms(sentences);
    rank(sentences);
    return Writer(std::move(sentences)).write();
}

} // namespace vantory::ExtractiveSummary
