#pragma once

#include <string_view>

namespace vq {

class Chart;
class ChartComponent;
class ChartLabel;
class ChartLabelBlock;

// Builds components from the lines of a chart template and adds them to a chart. The first line
// that cannot be read ends the reading; what was added before it stays.
class ChartTemplateReader {
public:
    // A template line holds at most this many characters.
    static constexpr std::size_t kLongestLine = 254;

    explicit ChartTemplateReader(Chart& chart) : m_chart(chart) {}
    // Keyword errors go to the chart's keyword hook, others to their message box and the chart's
    // template error.
    void Read(std::string_view text);

private:
    void ReadLine(std::string_view line);
    void ReadComponent(int keyword, std::string_view rest);
    void ReadAnnotation(std::string_view rest);

    Chart& m_chart;
    ChartLabelBlock* m_block = nullptr;
    // The label or block an "annotation" line gives its text to.
    ChartLabel* m_current = nullptr;
};

} // namespace vq
