#include "chart/ChartTextImport.h"

#include "chart/Chart.h"
#include "platform/time/OleDateTime.h"

#include <cmath>
#include <cstdlib>

namespace vq {
namespace {

// Longer cells cannot start with a number any sensible text would hold; only this much of a
// cell is handed to the number reader.
constexpr std::size_t kLongestNumber = 128;

bool EndsCell(char c) {
    return c == '\t' || c == ',' || c == '\r' || c == '\n' || c == '|';
}

// Column labels go A to Z, then BA, BB: the index in base 26 with the letters as digits.
std::string LetterLabel(int index) {
    std::string letters;
    do {
        letters.insert(letters.begin(), static_cast<char>('A' + index % 26));
        index /= 26;
    } while (index > 0);
    return letters;
}

} // namespace

ChartTextImport::Token ChartTextImport::NextToken(std::string_view text, std::size_t& at) {
    if (at >= text.size()) return {};
    const char c = text[at];
    if (c == '\t' || c == ',') {
        ++at;
        return {TokenKind::empty};
    }
    if (c == '\r' || c == '\n' || c == '|') {
        ++at;
        if (at < text.size() && text[at] == '\n') ++at;
        return {TokenKind::rowEnd};
    }
    const std::size_t start = at;
    while (at < text.size() && !EndsCell(text[at]))
        ++at;
    Token token{TokenKind::text, 0, text.substr(start, at - start)};
    if (at < text.size() && (text[at] == '\t' || text[at] == ',')) ++at;
    if (CellValue(token.text, token.value)) token.kind = TokenKind::number;
    return token;
}

bool ChartTextImport::CellValue(std::string_view cell, double& value) {
    OleDateTime date;
    if (date.ParseDateTime(cell)) {
        value = date.Value();
        return true;
    }
    const std::string prefix(cell.substr(0, kLongestNumber));
    char* end = nullptr;
    const double number = std::strtod(prefix.c_str(), &end);
    if (end == prefix.c_str() || !std::isfinite(number)) return false;
    value = number;
    return true;
}

void ChartTextImport::Import(std::string_view text) {
    if (!m_chart.IsEmpty()) m_chart.Reset();
    std::size_t at = 0;
    const Token first = NextToken(text, at);
    switch (first.kind) {
    case TokenKind::number:
        m_mode = Mode::dataOnly;
        m_numbersFirst = true;
        m_chart.SetItemValue(0, 0, first.value, false);
        m_index = 1;
        m_rowHasData = true;
        break;
    case TokenKind::empty:
        m_mode = Mode::header;
        break;
    case TokenKind::text:
        m_mode = Mode::header;
        m_chart.SetAnnotation(first.text, 1);
        break;
    case TokenKind::rowEnd:
    case TokenKind::end:
        return;
    }
    for (Token token = NextToken(text, at); token.kind != TokenKind::end; token = NextToken(text, at))
        Take(token);
    Finish();
}

void ChartTextImport::MarkNull(int index, int group) {
    m_chart.GetData(index, group).SetNull(1);
}

void ChartTextImport::Take(const Token& token) {
    if (token.kind == TokenKind::rowEnd) {
        m_index = 0;
        if (m_rowHasData) ++m_row;
        if (m_mode == Mode::header) {
            m_mode = Mode::rowLabel;
        } else if (m_rowHasData) {
            ++m_group;
            if (m_mode == Mode::data) m_mode = Mode::rowLabel;
        }
        m_rowHasData = true;
        return;
    }
    switch (m_mode) {
    case Mode::header:
        if (token.kind != TokenKind::empty) {
            m_chart.SetItemLabel(m_index, m_group, token.text);
            if (token.kind == TokenKind::text) MarkNull(m_index, m_group);
        }
        ++m_index;
        break;
    case Mode::rowLabel:
        if (token.kind != TokenKind::empty) m_chart.SetGroupLabel(m_row, token.text, true);
        m_mode = Mode::data;
        break;
    case Mode::data:
        if (token.kind == TokenKind::number) {
            m_chart.SetItemValue(m_index, m_group, token.value, false);
        } else if (token.kind == TokenKind::empty) {
            m_chart.SetItemValue(m_index, m_group, 0, false);
            MarkNull(m_index, m_group);
        } else {
            MarkNull(m_index, m_group);
        }
        ++m_index;
        break;
    case Mode::dataOnly:
        if (token.kind == TokenKind::number)
            m_chart.SetItemValue(m_index, m_group, token.value, false);
        else
            MarkNull(m_index, m_group);
        ++m_index;
        break;
    case Mode::none:
        break;
    }
}

void ChartTextImport::Finish() {
    m_chart.m_empty = 0;
    if (!m_numbersFirst) return;
    for (int g = 0; g < m_chart.GetGroupCount(); ++g)
        m_chart.SetGroupLabel(g, std::to_string(g), true);
    ChartDataList& first = m_chart.GetGroup(0, true);
    for (int i = 0; i < first.GetItemCount(); ++i)
        m_chart.SetItemLabel(i, 0, LetterLabel(i));
}

} // namespace vq
