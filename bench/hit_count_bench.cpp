// Prints how long the counter-page reader searches a real counter page and the
// worst pages known: many image-address starts with no "gif" after them, and
// variations an attacker could try against the reader's cut after the last
// "gif". Beside each, the time of the same pattern over the whole searched
// head of the page, as the reader searched before that cut.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>


#include "generator/hit_count.h"
#include "tests/support/whole_page_search.h"

namespace {

constexpr char kHost[] = "img.counter.test";
const std::string kStart = std::string("http://") + kHost + "/img/";

std::string Image(const std::string& digit) { return "<img src=\"" + kStart + "43/" + digit + ".gif\">"; }

// A page as the counter service writes it: about 2 KB around four digits.
std::string RealPage() {
  std::string page = "<html><head><title>count</title></head><body>\n";
  while (page.size() < 1800) page += "<!-- layout and script of the counter service -->\n";
  return page + "<p>" + Image("1") + Image("2") + Image("0") + Image("7") + "</p></body></html>\n";
}

// Two digits, then `piece` repeated to the searched size, then `tail`.
std::string Hostile(const std::string& piece, const std::string& tail = "") {
  std::string page = Image("4") + Image("2");
  while (page.size() + piece.size() + tail.size() <= generator::kMaxCounterPage) page += piece;
  return page + tail;
}

// Pieces of image addresses in random order: the worst of many such pages.
std::string Shuffled(std::mt19937& rng) {
  const std::string pieces[] = {kStart, kStart + "x/", "/", "gif", ".gif", std::string(200, 'x'), "x/y", "\n"};
  std::string page = Image("4");
  while (page.size() < generator::kMaxCounterPage) page += pieces[rng() % 8];
  return page.substr(0, generator::kMaxCounterPage);
}

// The pattern over the whole head of the page, as the reader searched before.
std::string WholeHeadDigits(const std::string& page, const char* host) {
  return testsupport::WholePageDigits(page.substr(0, generator::kMaxCounterPage), host).value_or("(gave up)");
}

// Seconds per call, the best of a few runs once a run takes long enough.
template <typename Search>
double Seconds(Search search, const std::string& page, std::string* digits) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    int calls = 0;
    auto start = std::chrono::steady_clock::now();
    double spent = 0;
    do {
      *digits = search(page, kHost);
      ++calls;
      spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    } while (spent < 0.05);
    best = std::min(best, spent / calls);
  }
  return best;
}

void Measure(const char* what, const std::string& page) {
  std::string digits, before;
  double now = Seconds(generator::CountDigits, page, &digits);
  double then = Seconds(WholeHeadDigits, page, &before);
  std::string shown = digits.size() > 8 ? digits.substr(0, 8) + "..." : digits;
  std::printf("%-46s %6zu bytes %9.3f ms (before %8.3f ms)  digits \"%s\" (%zu bytes%s)\n", what, page.size(),
              now * 1e3, then * 1e3, shown.c_str(), digits.size(), digits == before ? "" : ", before: gave up");
}

}  // namespace

int main() {
  std::printf("%-46s %6s       %9s\n", "page", "size", "search");
  Measure("real counter page", RealPage());
  Measure("starts with a slash, no gif after", Hostile(kStart + "x/"));
  Measure("starts with a slash, one gif at the end", Hostile(kStart + "x/", "gif"));
  Measure("starts with a slash, gif before the last", Hostile(kStart + "x/", "gif" + kStart + std::string(4000, 'x')));
  Measure("bare starts, no gif after", Hostile(kStart));
  Measure("starts, then no slash, gif at the end", Hostile(kStart + "x", "gif"));
  Measure("one start, then only slashes, no gif", Hostile("/").insert(2 * Image("4").size(), kStart));
  Measure("one start, a long run, then \"/gif\"", Hostile("x", "/gif").insert(2 * Image("4").size(), kStart));
  std::mt19937 rng(1);
  double worst = 0;
  std::string worst_page;
  for (int i = 0; i < 200; ++i) {
    std::string page = Shuffled(rng), digits;
    auto start = std::chrono::steady_clock::now();
    generator::CountDigits(page, kHost);
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (s > worst) worst = s, worst_page = page;
  }
  Measure("worst of 200 shuffled pages of address pieces", worst_page);
  return 0;
}
