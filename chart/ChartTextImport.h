#pragma once

#include <string>
#include <string_view>

namespace vq {

class Chart;

// Fills a chart from tab- or comma-separated text: the first token decides whether the rows carry
// a header and row labels or numbers only.
class ChartTextImport {
public:
    explicit ChartTextImport(Chart& chart) : m_chart(chart) {}
    void Import(std::string_view text);

private:
    enum class TokenKind { empty, rowEnd, end, number, text };
    struct Token {
        TokenKind kind = TokenKind::end;
        double value = 0;
        std::string_view text;
    };
    // The token at the cursor, which moves past it and the separator that follows a cell.
    static Token NextToken(std::string_view text, std::size_t& at);
    // A cell's number: a date and time when the whole cell is one, else a finite number read from
    // its start; false for text.
    static bool CellValue(std::string_view cell, double& value);

    enum class Mode { none, header, rowLabel, data, dataOnly };
    void Take(const Token& token);
    void Finish();
    void MarkNull(int index, int group);

    Chart& m_chart;
    Mode m_mode = Mode::none;
    int m_group = 0;
    int m_row = 0;
    int m_index = 0;
    bool m_rowHasData = false;
    bool m_numbersFirst = false;
};

} // namespace vq
