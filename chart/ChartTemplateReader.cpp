#include "chart/ChartTemplateReader.h"

#include "chart/Chart.h"
#include "chart/ChartBackground.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartException.h"
#include "chart/ChartLabelBlock.h"
#include "chart/ChartLegend.h"
#include "chart/ChartTemplateScanner.h"
#include "chart/ChartTextPanel.h"
#include "chart/ChartTitle.h"

#include <array>
#include <cctype>
#include <memory>

namespace vq {
namespace {

constexpr int kErrorKeyword = 13;

enum Keyword : int {
    keySurface,
    keyBackground,
    keyTitle,
    keyLegend,
    keyData,
    keyRect,
    keyFont,
    keyStyle,
    keyLabel,
    keyLabelBlock,
    keyAnnotation,
    keyEndBlock,
    keyTextPanel,
    keyDataWatcher,
    keyCount
};

constexpr std::array<std::string_view, keyCount> kKeywords = {
    "surface", "background", "title", "legend", "data", "rect", "font", "style",
    "label", "labelblock", "annotation", "endblock", "textpanel", "datawatcher"};

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::unique_ptr<ChartComponent> MakeComponent(int keyword) {
    switch (keyword) {
    case keyBackground:
        return std::make_unique<ChartBackground>();
    case keyTitle:
        return std::make_unique<ChartTitle>();
    case keyLegend:
        return std::make_unique<ChartLegend>();
    case keyData:
        return std::make_unique<ChartDisplay>();
    case keyLabel:
        return std::make_unique<ChartLabel>();
    case keyLabelBlock:
        return std::make_unique<ChartLabelBlock>();
    case keyTextPanel:
        return std::make_unique<ChartTextPanel>();
    case keyDataWatcher:
        return std::make_unique<ChartTextPanel>(chartDataWatcherType);
    default:
        return nullptr;
    }
}

} // namespace

void ChartTemplateReader::Read(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        // Lines end at a carriage return, a line feed after it belonging to the same end; a
        // line feed alone ends one too, as the components write their lines.
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (end < text.size() && text[end] == '\r' && at < text.size() && text[at] == '\n') ++at;
        try {
            ReadLine(line);
        } catch (const ChartException& error) {
            if (error.GetCode() == kErrorKeyword) {
                m_chart.OnTemplateKeywordError(line);
            } else {
                ReportChartError(error);
                m_chart.ShowTemplateError(line);
            }
            return;
        }
    }
}

void ChartTemplateReader::ReadLine(std::string_view line) {
    if (line.empty() || line.starts_with("//")) return;
    if (line.size() > kLongestLine) RaiseChartError(kErrorKeyword);
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    std::size_t end = start;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    const std::string_view word = line.substr(start, end - start);
    int keyword = keyCount;
    for (int k = 0; k < keyCount; ++k)
        if (word == kKeywords[static_cast<std::size_t>(k)]) keyword = k;
    const std::string_view rest = line.substr(end);
    switch (keyword) {
    case keySurface:
        m_current = nullptr;
        return;
    case keyAnnotation:
        return ReadAnnotation(rest);
    case keyEndBlock:
        m_current = m_block;
        m_block = nullptr;
        return;
    case keyRect:
    case keyFont:
    case keyStyle:
    case keyCount:
        RaiseChartError(kErrorKeyword);
    default:
        return ReadComponent(keyword, rest);
    }
}

void ChartTemplateReader::ReadComponent(int keyword, std::string_view rest) {
    if (keyword == keyTextPanel || keyword == keyDataWatcher) m_block = nullptr;
    m_current = nullptr;
    std::unique_ptr<ChartComponent> component = MakeComponent(keyword);
    component->SetParent(&m_chart);
    const int used = component->ReadTemplateCommon(rest);
    component->ReadTemplate(rest.substr(static_cast<std::size_t>(used)));
    component->SetMeasureDefaults();
    if (keyword == keyLabel && m_block) {
        auto* label = static_cast<ChartLabel*>(component.get());
        m_block->AttachLabel(std::unique_ptr<ChartLabel>(static_cast<ChartLabel*>(component.release())), 0);
        m_current = label;
        return;
    }
    ChartComponent* added = m_chart.AddComponent(std::move(component))->get();
    if (keyword == keyLabel) m_current = static_cast<ChartLabel*>(added);
    if (keyword == keyLabelBlock) m_current = m_block = static_cast<ChartLabelBlock*>(added);
}

void ChartTemplateReader::ReadAnnotation(std::string_view rest) {
    ChartTemplateScanner scan(rest);
    int index = 0;
    if (!m_current || !scan.ReadInt(index)) RaiseChartError(kErrorKeyword);
    std::size_t at = scan.Used();
    while (at < rest.size() && IsBlank(rest[at]))
        ++at;
    m_current->SetAnnotationText(index, rest.substr(at));
}

} // namespace vq
