#include "pdf_renderer.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <fstream>
#include <memory>

#include "automation/runtime_error.h"
#include "file_paths.h"

namespace vantrel::substitutes::reports {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::toUtf8;

namespace {

// A4 in points.
constexpr double kShortSide = 595.276;
constexpr double kLongSide = 841.890;
constexpr double kMargin = 42.0;
constexpr double kCellPadding = 4.0;
constexpr double kWidestColumn = 220.0;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct FontDeleter {
    void operator()(PangoFontDescription* f) const { pango_font_description_free(f); }
};
struct ObjectDeleter {
    void operator()(void* o) const { g_object_unref(o); }
};

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

class PdfPainter {
public:
    PdfPainter(std::string& bytes, bool landscape)
        : width_(landscape ? kLongSide : kShortSide),
          height_(landscape ? kShortSide : kLongSide),
          surface_(cairo_pdf_surface_create_for_stream(appendBytes, &bytes, width_, height_)),
          cr_(cairo_create(surface_.get())),
          layout_(pango_cairo_create_layout(cr_.get())),
          body_(pango_font_description_from_string("DejaVu Sans 9")),
          bold_(pango_font_description_from_string("DejaVu Sans Bold 9")),
          heading_(pango_font_description_from_string("DejaVu Sans Bold 16")) {}

    void setTitle(const std::string& title) {
        cairo_pdf_surface_set_metadata(surface_.get(), CAIRO_PDF_METADATA_TITLE, title.c_str());
    }

    double usableWidth() const { return width_ - 2 * kMargin; }

    // Natural width of one line of text in a font.
    double measure(const std::string& text, const PangoFontDescription* font) {
        prepare(text, font, -1, false);
        int w = 0, h = 0;
        pango_layout_get_size(layout_.get(), &w, &h);
        return static_cast<double>(w) / PANGO_SCALE;
    }

    double lineHeight(const PangoFontDescription* font) {
        prepare("Ág", font, -1, false);
        int w = 0, h = 0;
        pango_layout_get_size(layout_.get(), &w, &h);
        return static_cast<double>(h) / PANGO_SCALE;
    }

    // Draws one line at (x, y_), cut to `width` with an ellipsis when too long; answers its
    // height.
    double text(double x, const std::string& text, const PangoFontDescription* font,
                double width = -1, bool right = false) {
        prepare(text, font, width, right);
        int w = 0, h = 0;
        pango_layout_get_size(layout_.get(), &w, &h);
        cairo_move_to(cr_.get(), x, y_);
        pango_cairo_show_layout(cr_.get(), layout_.get());
        return static_cast<double>(h) / PANGO_SCALE;
    }

    void rule(double x, double length) {
        cairo_set_line_width(cr_.get(), 0.6);
        cairo_move_to(cr_.get(), x, y_);
        cairo_line_to(cr_.get(), x + length, y_);
        cairo_stroke(cr_.get());
    }

    bool fits(double height) const { return y_ + height <= height_ - kMargin; }
    void newPage() {
        cairo_show_page(cr_.get());
        y_ = kMargin;
    }
    double& y() { return y_; }

    const PangoFontDescription* body() const { return body_.get(); }
    const PangoFontDescription* bold() const { return bold_.get(); }
    const PangoFontDescription* heading() const { return heading_.get(); }

    void finish() {
        cairo_destroy(cr_.release());
        layout_.reset();
        cairo_surface_finish(surface_.get());
        if (cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS) {
            throw RuntimeError(automation::errc::ApplicationDefined, u"CrystalRuntime",
                               u"Export: the PDF could not be drawn (" +
                                   automation::fromUtf8(cairo_status_to_string(
                                       cairo_surface_status(surface_.get()))) +
                                   u")");
        }
    }

private:
    void prepare(const std::string& text, const PangoFontDescription* font, double width,
                 bool right) {
        PangoLayout* l = layout_.get();
        pango_layout_set_font_description(l, font);
        pango_layout_set_width(l, width < 0 ? -1 : static_cast<int>(width * PANGO_SCALE));
        pango_layout_set_ellipsize(l, width < 0 ? PANGO_ELLIPSIZE_NONE : PANGO_ELLIPSIZE_END);
        pango_layout_set_alignment(l, right ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT);
        pango_layout_set_text(l, text.c_str(), static_cast<int>(text.size()));
    }

    double width_;
    double height_;
    double y_ = kMargin;
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface_;
    std::unique_ptr<cairo_t, ContextDeleter> cr_;
    std::unique_ptr<PangoLayout, ObjectDeleter> layout_;
    std::unique_ptr<PangoFontDescription, FontDeleter> body_;
    std::unique_ptr<PangoFontDescription, FontDeleter> bold_;
    std::unique_ptr<PangoFontDescription, FontDeleter> heading_;
};

// Column widths from the widest text of each column, shrunk together when the page is too
// narrow for them all.
std::vector<double> columnWidths(PdfPainter& painter, const std::vector<std::string>& header,
                                 const std::vector<std::vector<std::string>>& rows) {
    std::vector<double> widths;
    for (const auto& h : header) widths.push_back(painter.measure(h, painter.bold()));
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], painter.measure(row[c], painter.body()));
        }
    }
    double total = 0;
    for (auto& w : widths) {
        w = std::min(w, kWidestColumn) + 2 * kCellPadding;
        total += w;
    }
    if (total > painter.usableWidth()) {
        for (auto& w : widths) w *= painter.usableWidth() / total;
    }
    return widths;
}

}  // namespace

std::string renderPdf(const ReportContent& content) {
    std::string bytes;
    PdfPainter painter(bytes, content.landscape);
    painter.setTitle(toUtf8(content.title));

    painter.y() += painter.text(kMargin, toUtf8(content.title), painter.heading()) + 8;
    for (const auto& p : content.parameters) {
        const std::string line = toUtf8(shownPrompt(p.prompt) + u": " + shownValues(p.values));
        painter.y() += painter.text(kMargin, line, painter.body(), painter.usableWidth()) + 2;
    }
    painter.y() += 12;

    const ReportRows& data = content.data;
    if (data.columns.empty()) {
        painter.finish();
        return bytes;
    }
    std::vector<std::string> header;
    for (const auto& c : data.columns) header.push_back(toUtf8(c));
    std::vector<std::vector<std::string>> rows;
    rows.reserve(data.rows.size());
    for (const auto& row : data.rows) {
        std::vector<std::string> texts;
        for (const auto& cell : row) texts.push_back(toUtf8(cell.text));
        rows.push_back(std::move(texts));
    }
    const std::vector<double> widths = columnWidths(painter, header, rows);
    double tableWidth = 0;
    for (double w : widths) tableWidth += w;
    const double rowHeight = painter.lineHeight(painter.body()) + 3;

    auto drawHeader = [&] {
        double x = kMargin;
        for (std::size_t c = 0; c < header.size(); ++c) {
            painter.text(x + kCellPadding, header[c], painter.bold(), widths[c] - 2 * kCellPadding);
            x += widths[c];
        }
        painter.y() += rowHeight;
        painter.rule(kMargin, tableWidth);
        painter.y() += 3;
    };
    drawHeader();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!painter.fits(rowHeight)) {
            painter.newPage();
            drawHeader();
        }
        double x = kMargin;
        for (std::size_t c = 0; c < rows[r].size() && c < widths.size(); ++c) {
            const bool number = data.rows[r][c].number.has_value();
            painter.text(x + kCellPadding, rows[r][c], painter.body(), widths[c] - 2 * kCellPadding,
                         number);
            x += widths[c];
        }
        painter.y() += rowHeight;
    }
    painter.finish();
    return bytes;
}

OutputResult exportPdf(const ReportContent& content, TextView file) {
    const std::string bytes = renderPdf(content);
    std::ofstream out(nativeFile(file), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw RuntimeError(automation::errc::PathFileAccessError, u"CrystalRuntime",
                           u"Export: cannot write " + Text(file));
    }
    return {ProducedOutput{u"PDF file", Text(file)}, u"wrote " + Text(file)};
}

}  // namespace vantrel::substitutes::reports
