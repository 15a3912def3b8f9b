#include "editor/ui/fitted_layout.h"

#include <gtk/gtk.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/window.h>

#include <algorithm>

namespace zor::editor::ui {

void allowCompactControls() {
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen || g_object_get_data(G_OBJECT(screen), "zorled-compact")) return;
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, "button, entry, combobox button { min-height: 0; min-width: 0; }", -1,
                                  nullptr);
  gtk_style_context_add_provider_for_screen(screen, GTK_STYLE_PROVIDER(css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);
  g_object_set_data(G_OBJECT(screen), "zorled-compact", GINT_TO_POINTER(1));
}

wxSize neededSize(wxWindow* control, const wxString& sample) {
  if (!control) return wxSize(0, 0);
  auto* widget = static_cast<GtkWidget*>(control->GetHandle());
  if (auto* label = dynamic_cast<wxStaticText*>(control)) {
    int w = 0, h = 0;
    label->GetTextExtent(label->GetLabel(), &w, &h);
    return wxSize(w + 1, h);
  }
  if (!widget) return wxSize(0, 0);
  // The toolkit measures hidden controls as empty: measured as if shown.
  struct Shown {
    GtkWidget* widget;
    bool hidden;
    explicit Shown(GtkWidget* w) : widget(w), hidden(!gtk_widget_get_visible(w)) {
      if (hidden) gtk_widget_set_visible(widget, TRUE);
    }
    ~Shown() {
      if (hidden) gtk_widget_set_visible(widget, FALSE);
    }
  } shown(widget);
  int minH = 0, natH = 0;
  gtk_widget_get_preferred_height(widget, &minH, &natH);
  if (auto* field = dynamic_cast<wxTextCtrl*>(control)) {
    if (!GTK_IS_ENTRY(widget)) return wxSize(0, 0);
    if (sample.empty()) return wxSize(0, natH);
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    GtkBorder padding, border;
    gtk_style_context_get_padding(style, gtk_style_context_get_state(style), &padding);
    gtk_style_context_get_border(style, gtk_style_context_get_state(style), &border);
    const int text = field->GetTextExtent(sample).x;
    return wxSize(text + padding.left + padding.right + border.left + border.right + 4, natH);
  }
  if (GTK_IS_BUTTON(widget) || GTK_IS_COMBO_BOX(widget) || GTK_IS_FRAME(widget)) {
    int minW = 0, natW = 0;
    gtk_widget_get_preferred_width(widget, &minW, &natW);
    return wxSize(natW, GTK_IS_FRAME(widget) ? 0 : natH);
  }
  return wxSize(0, 0);
}

void FittedLayout::add(wxWindow* control, int x, int y, int w, int h) {
  items_.push_back({control, wxRect(x, y, w, h), neededSize(control), false});
}

void FittedLayout::addField(wxWindow* field, int x, int y, int w, int h, const wxString& sample) {
  items_.push_back({field, wxRect(x, y, w, h), neededSize(field, sample), false});
}

void keepOnOneLine(wxWindow* label) {
  auto* widget = static_cast<GtkWidget*>(label->GetHandle());
  if (widget && GTK_IS_LABEL(widget)) gtk_label_set_line_wrap(GTK_LABEL(widget), FALSE);
}

void FittedLayout::addLabel(wxWindow* label, int x, int y, int w, int h) {
  keepOnOneLine(label);
  items_.push_back({label, wxRect(x, y, w, h), neededSize(label), true});
}

void FittedLayout::addSpace(int x, int y, int w, int h, wxSize need) {
  items_.push_back({nullptr, wxRect(x, y, w, h), need, false});
}

void FittedLayout::fit(Axis& axis, const std::vector<Item>& items, bool horizontal, int extent) {
  axis.design = {0, extent};
  for (const Item& item : items) {
    const int from = horizontal ? item.design.x : item.design.y;
    const int length = horizontal ? item.design.width : item.design.height;
    axis.design.push_back(from);
    axis.design.push_back(from + length);
  }
  std::sort(axis.design.begin(), axis.design.end());
  axis.design.erase(std::unique(axis.design.begin(), axis.design.end()), axis.design.end());
  const std::size_t n = axis.design.size();
  std::vector<int> segment(n > 0 ? n - 1 : 0);
  for (std::size_t i = 0; i + 1 < n; ++i) segment[i] = axis.design[i + 1] - axis.design[i];
  auto index = [&axis](int v) {
    return static_cast<std::size_t>(std::lower_bound(axis.design.begin(), axis.design.end(), v) - axis.design.begin());
  };
  // The controls that span fewer segments first: a wide control takes what the
  // narrow ones beside it have already made, and grows only for the rest.
  std::vector<const Item*> order;
  for (const Item& item : items) order.push_back(&item);
  auto span = [&](const Item* item) {
    const int from = horizontal ? item->design.x : item->design.y;
    const int length = horizontal ? item->design.width : item->design.height;
    return std::pair(index(from), index(from + length));
  };
  std::stable_sort(order.begin(), order.end(), [&](const Item* a, const Item* b) {
    const auto [a0, a1] = span(a);
    const auto [b0, b1] = span(b);
    return a1 - a0 < b1 - b0;
  });
  for (const Item* item : order) {
    const auto [first, last] = span(item);
    if (first >= last) continue;
    const int need = horizontal ? item->need.x : item->need.y;
    int have = 0, designed = 0;
    for (std::size_t i = first; i < last; ++i) {
      have += segment[i];
      designed += axis.design[i + 1] - axis.design[i];
    }
    int missing = need - have;
    if (missing <= 0) continue;
    // Shared out by the segments' design sizes, the rest to the last.
    const int total = missing;
    for (std::size_t i = first; i + 1 < last && designed > 0; ++i) {
      const int part = total * (axis.design[i + 1] - axis.design[i]) / designed;
      segment[i] += part;
      missing -= part;
    }
    segment[last - 1] += missing;
  }
  axis.fitted.assign(n, 0);
  for (std::size_t i = 1; i < n; ++i) axis.fitted[i] = axis.fitted[i - 1] + segment[i - 1];
}

int FittedLayout::map(const Axis& axis, int v) {
  if (axis.design.empty()) return v;
  const auto it = std::lower_bound(axis.design.begin(), axis.design.end(), v);
  if (it == axis.design.end()) return axis.fitted.back() + (v - axis.design.back());
  const std::size_t i = static_cast<std::size_t>(it - axis.design.begin());
  if (*it == v) return axis.fitted[i];
  if (i == 0) return v;
  // Between two edges: in proportion.
  const int d0 = axis.design[i - 1], d1 = axis.design[i];
  return axis.fitted[i - 1] + (v - d0) * (axis.fitted[i] - axis.fitted[i - 1]) / (d1 - d0);
}

wxSize FittedLayout::apply(int w, int h) {
  fit(xs_, items_, true, w);
  fit(ys_, items_, false, h);
  for (const Item& item : items_) {
    if (!item.control) continue;
    const int left = x(item.design.x), right = x(item.design.GetRight() + 1);
    const int top = y(item.design.y), bottom = y(item.design.GetBottom() + 1);
    if (item.label) {
      const int height = std::min(bottom - top, std::max(item.need.y, 1));
      item.control->SetSize(left, top + (bottom - top - height) / 2, right - left, height);
    } else {
      item.control->SetSize(left, top, right - left, bottom - top);
    }
  }
  return wxSize(x(w), y(h));
}

}  // namespace zor::editor::ui
