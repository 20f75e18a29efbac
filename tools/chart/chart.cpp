// Draws the performance chart: the receive path beside raw rapidjson, per
// message, and the cost of classifyPlay and canFollow by play size, from the
// JSON that Google Benchmark writes.
//   quartet_chart --receive net.json --rules cards.json [--machine machine.txt] --out chart.png
#include <cairo.h>
#include <rapidjson/document.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Figure {
  std::string name;  // the benchmark's run name, e.g. "BM_CanFollow/8"
  double nanoseconds = 0;
  double itemsPerSecond = 0;
  double clientCpuPerSecond = 0;  // the counter "client_cpu_frames_per_second", when given
};

double toNanoseconds(double value, const std::string& unit) {
  if (unit == "us") return value * 1e3;
  if (unit == "ms") return value * 1e6;
  if (unit == "s") return value * 1e9;
  return value;
}

// One figure per run: the median where repetitions were aggregated, else the run itself.
std::vector<Figure> readFigures(const std::string& path) {
  std::vector<Figure> figures;
  std::ifstream in(path);
  if (!in) return figures;
  std::stringstream text;
  text << in.rdbuf();
  rapidjson::Document document;
  document.Parse(text.str().c_str());
  if (document.HasParseError() || !document.IsObject() || !document.HasMember("benchmarks")) {
    std::fprintf(stderr, "chart: %s is not Google Benchmark JSON\n", path.c_str());
    return figures;
  }
  std::map<std::string, Figure> medians;
  std::map<std::string, Figure> plain;
  std::vector<std::string> order;
  for (const rapidjson::Value& run : document["benchmarks"].GetArray()) {
    if (!run.HasMember("run_name") || !run.HasMember("cpu_time")) continue;
    Figure figure;
    figure.name = run["run_name"].GetString();
    std::string unit = run.HasMember("time_unit") ? run["time_unit"].GetString() : "ns";
    figure.nanoseconds = toNanoseconds(run["cpu_time"].GetDouble(), unit);
    if (run.HasMember("items_per_second")) {
      figure.itemsPerSecond = run["items_per_second"].GetDouble();
    }
    if (run.HasMember("client_cpu_frames_per_second")) {
      figure.clientCpuPerSecond = run["client_cpu_frames_per_second"].GetDouble();
    }
    if (std::find(order.begin(), order.end(), figure.name) == order.end())
      order.push_back(figure.name);
    const bool aggregate =
        run.HasMember("run_type") && std::string(run["run_type"].GetString()) == "aggregate";
    if (aggregate) {
      if (std::string(run["aggregate_name"].GetString()) == "median") medians[figure.name] = figure;
    } else if (!plain.count(figure.name)) {
      plain[figure.name] = figure;
    }
  }
  for (const std::string& name : order) {
    if (medians.count(name))
      figures.push_back(medians[name]);
    else if (plain.count(name))
      figures.push_back(plain[name]);
  }
  return figures;
}

struct Box {
  double x, y, w, h;
};

void text(cairo_t* cr, double x, double y, const std::string& s, double size, bool bold = false,
          double align = 0) {
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, s.c_str(), &extents);
  cairo_move_to(cr, x - align * extents.x_advance, y);
  cairo_show_text(cr, s.c_str());
}

std::string format(double value) {
  char buffer[32];
  if (value == 0) return "0";
  if (value == std::floor(value)) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    return buffer;
  }
  if (value >= 100)
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
  else if (value >= 10)
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
  else
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
  return buffer;
}

// A "nice" upper end for an axis: 1, 2 or 5 times a power of ten.
double niceCeiling(double value) {
  if (value <= 0) return 1;
  double power = std::pow(10, std::floor(std::log10(value)));
  for (double step : {1.0, 2.0, 5.0, 10.0}) {
    if (step * power >= value) return step * power;
  }
  return 10 * power;
}

std::string shortName(const std::string& run) {
  std::string name = run.rfind("BM_", 0) == 0 ? run.substr(3) : run;
  // "ReceivePathLoopback/process_time/real_time" and the like.
  if (name.find("process_time") != std::string::npos)
    name = name.substr(0, name.find('/')) + " (all threads' CPU)";
  else if (name.find("real_time") != std::string::npos)
    name = name.substr(0, name.find('/')) + " (wall)";
  return name;
}

// Bars on a logarithmic axis: the figures run from nanoseconds (framing) to
// microseconds (the whole path over loopback, by wall time).
void receivePanel(cairo_t* cr, Box box, const std::vector<Figure>& figures) {
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  text(cr, box.x, box.y + 18, "Receive path: ns per message, log scale (lower is better)", 16,
       true);
  std::vector<std::pair<std::string, double>> bars;
  for (const Figure& figure : figures) {
    if (figure.itemsPerSecond <= 0) continue;
    bars.emplace_back(shortName(figure.name), 1e9 / figure.itemsPerSecond);
    if (figure.clientCpuPerSecond > 0) {
      std::string name = shortName(figure.name);
      name = name.substr(0, name.find(" (")) + " (client CPU)";
      bars.emplace_back(name, 1e9 / figure.clientCpuPerSecond);
    }
  }
  if (bars.empty()) {
    text(cr, box.x, box.y + 50, "no receive-path figures", 13);
    return;
  }
  double low = 1e300, high = 0;
  for (auto& bar : bars) {
    low = std::min(low, bar.second);
    high = std::max(high, bar.second);
  }
  const int first = static_cast<int>(std::floor(std::log10(std::max(low, 1e-3))));
  const int last = std::max(first + 1, static_cast<int>(std::ceil(std::log10(high))));
  const double labelWidth = 250, left = box.x + labelWidth, width = box.w - labelWidth - 60;
  const double rowHeight = std::min(44.0, (box.h - 70) / bars.size());
  auto xOf = [&](double ns) {
    return left + width * (std::log10(ns) - first) / static_cast<double>(last - first);
  };
  const double axisY = box.y + 40 + bars.size() * rowHeight;
  cairo_set_line_width(cr, 1);
  for (int power = first; power <= last; ++power) {
    const double x = xOf(std::pow(10, power));
    cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
    cairo_move_to(cr, x, box.y + 36);
    cairo_line_to(cr, x, axisY);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    text(cr, x, axisY + 16, format(std::pow(10, power)), 11, false, 0.5);
  }
  text(cr, left + width / 2, axisY + 34, "ns per message", 12, false, 0.5);
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const double y = box.y + 40 + i * rowHeight;
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, left - 8, y + rowHeight * 0.6, bars[i].first, 12, false, 1);
    const double w = std::max(1.0, xOf(bars[i].second) - left);
    if (bars[i].first.find("Rapidjson") != std::string::npos) {
      cairo_set_source_rgb(cr, 0.55, 0.55, 0.6);
    } else {
      cairo_set_source_rgb(cr, 0.16, 0.45, 0.72);
    }
    cairo_rectangle(cr, left, y + 4, w, rowHeight - 10);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, left + w + 6, y + rowHeight * 0.6, format(bars[i].second), 12);
  }
  cairo_set_source_rgb(cr, 0.4, 0.4, 0.4);
  cairo_move_to(cr, left, axisY);
  cairo_line_to(cr, left + width, axisY);
  cairo_stroke(cr);
}

void rulesPanel(cairo_t* cr, Box box, const std::vector<Figure>& figures) {
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  text(cr, box.x, box.y + 18, "Rules: CPU ns per call by play size", 16, true);
  // Series by function: "BM_CanFollow/8" gives series CanFollow, x = 8.
  std::map<std::string, std::vector<std::pair<int, double>>> series;
  std::vector<std::string> order;
  for (const Figure& figure : figures) {
    auto slash = figure.name.find('/');
    if (slash == std::string::npos) continue;
    std::string name = shortName(figure.name.substr(0, slash));
    if (name == "CopyOnly") continue;
    int cards = std::atoi(figure.name.c_str() + slash + 1);
    if (!series.count(name)) order.push_back(name);
    series[name].emplace_back(cards, figure.nanoseconds);
  }
  if (series.empty()) {
    text(cr, box.x, box.y + 50, "no rules figures", 13);
    return;
  }
  int maxCards = 1;
  double top = 0;
  for (auto& [name, points] : series) {
    for (auto& [cards, ns] : points) {
      maxCards = std::max(maxCards, cards);
      top = std::max(top, ns);
    }
  }
  top = niceCeiling(top);
  const Box plot{box.x + 50, box.y + 40, box.w - 70, box.h - 110};
  cairo_set_line_width(cr, 1);
  for (int i = 0; i <= 4; ++i) {
    double y = plot.y + plot.h - plot.h * i / 4;
    cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
    cairo_move_to(cr, plot.x, y);
    cairo_line_to(cr, plot.x + plot.w, y);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    text(cr, plot.x - 6, y + 4, format(top * i / 4), 11, false, 1);
  }
  for (int cards = 1; cards <= maxCards; cards += (maxCards > 16 ? 2 : 1)) {
    double x = plot.x + plot.w * (cards - 1) / std::max(1, maxCards - 1);
    text(cr, x, plot.y + plot.h + 16, std::to_string(cards), 11, false, 0.5);
  }
  text(cr, plot.x + plot.w / 2, plot.y + plot.h + 34, "cards in the play", 12, false, 0.5);
  const double colours[][3] = {
      {0.16, 0.45, 0.72}, {0.85, 0.37, 0.0}, {0.2, 0.6, 0.3}, {0.6, 0.2, 0.6}};
  for (std::size_t s = 0; s < order.size(); ++s) {
    const double* c = colours[s % 4];
    cairo_set_source_rgb(cr, c[0], c[1], c[2]);
    cairo_set_line_width(cr, 2);
    auto points = series[order[s]];
    std::sort(points.begin(), points.end());
    for (std::size_t i = 0; i < points.size(); ++i) {
      double x = plot.x + plot.w * (points[i].first - 1) / std::max(1, maxCards - 1);
      double y = plot.y + plot.h - plot.h * points[i].second / top;
      if (i == 0)
        cairo_move_to(cr, x, y);
      else
        cairo_line_to(cr, x, y);
    }
    cairo_stroke(cr);
    for (auto& [cards, ns] : points) {
      double x = plot.x + plot.w * (cards - 1) / std::max(1, maxCards - 1);
      double y = plot.y + plot.h - plot.h * ns / top;
      cairo_arc(cr, x, y, 2.5, 0, 2 * M_PI);
      cairo_fill(cr);
    }
    double legendY = box.y + box.h - 22;
    double legendX = box.x + 50 + s * 210;
    cairo_rectangle(cr, legendX, legendY - 9, 14, 10);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, legendX + 20, legendY, order[s], 12);
  }
}

std::string readMachine(const std::string& path) {
  std::ifstream in(path);
  std::string line, cpu, date, load;
  while (std::getline(in, line)) {
    if (line.rfind("cpu: ", 0) == 0) cpu = line.substr(5);
    if (line.rfind("date: ", 0) == 0) date = line.substr(6);
    if (line.rfind("load before: ", 0) == 0) load = line.substr(13);
    if (line.rfind("cores: ", 0) == 0) cpu += ", " + line.substr(7) + " cores";
  }
  if (cpu.empty()) return "";
  return cpu + (load.empty() ? "" : ", load " + load) + (date.empty() ? "" : ", " + date);
}

}  // namespace

int main(int argc, char** argv) {
  std::string receive, rules, machine, out = "performance-chart.png";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--receive"))
      receive = argv[i + 1];
    else if (!std::strcmp(argv[i], "--rules"))
      rules = argv[i + 1];
    else if (!std::strcmp(argv[i], "--machine"))
      machine = argv[i + 1];
    else if (!std::strcmp(argv[i], "--out"))
      out = argv[i + 1];
    else {
      std::fprintf(stderr,
                   "usage: %s --receive net.json --rules cards.json [--machine f] --out f.png\n",
                   argv[0]);
      return 2;
    }
  }
  const int width = 1400, height = 560;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  receivePanel(cr, {20, 10, 700, height - 50}, readFigures(receive));
  rulesPanel(cr, {740, 10, 640, height - 50}, readFigures(rules));
  std::string about = readMachine(machine);
  if (!about.empty()) {
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.35);
    text(cr, 20, height - 12, "Measured on " + about + " (scripts/bench)", 11);
  }
  cairo_destroy(cr);
  cairo_status_t status = cairo_surface_write_to_png(surface, out.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "chart: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
