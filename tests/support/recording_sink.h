// A page sink that records what a print job draws, page by page.
#pragma once

#include "printing/print_job.h"

#include <vector>

namespace tw::testing {

class RecordingSink : public printing::PageSink {
public:
    struct Rect {
        int x, y, w, h;
        bool operator==(const Rect&) const = default;
    };
    std::vector<std::vector<Rect>> pages{1}; // marks of each page
    int newPages = 0;
    int endDocuments = 0;
    bool drawnAfterEnd = false;

    void drawRect(int x, int y, int w, int h) override {
        if (endDocuments > 0)
            drawnAfterEnd = true;
        pages.back().push_back({x, y, w, h});
    }
    void newPage() override {
        ++newPages;
        pages.emplace_back();
    }
    void endDocument() override { ++endDocuments; }

    int markCount() const {
        int n = 0;
        for (const auto& p : pages)
            n += static_cast<int>(p.size());
        return n;
    }
};

} // namespace tw::testing
