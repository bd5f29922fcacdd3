#include "report/ReportPdf.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include "report/pdf/CairoCanvas.h"

namespace pelmora {

namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::string ReportPdfBytes(const CalcSheet& sheet, const std::function<void(chart::Canvas&)>& chart,
                           const SheetPageSize& page) {
  std::string bytes;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(Append, &bytes, page.width, page.height);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE,
                                 (sheet.title.title + " " + sheet.title.file).c_str());
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, "佩莫拉(Pelmora)");
  cairo_t* cr = cairo_create(surface);
  {
    CairoCanvas canvas(cr, page.width, page.height);
    const SheetLayout layout(sheet, canvas, page);
    for (int i = 0; i < layout.PageCount(); ++i) {
      layout.DrawPage(i, canvas, chart);
      cairo_show_page(cr);
    }
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? bytes : std::string();
}

}  // namespace pelmora
