// The column calculation in one process, without process start and loading: calcFunc of one or more builds'
// modules on a fresh copy of the shipped example and of a circular column with 30 combinations (made by
// circle_column.py) per iteration. Opening and saving the position stay outside the timed part.
//
//   calc_inprocess_bench [--build=DIR ...] [--benchmark_... flags]
//
// DIR is a build folder (its bin/libkolumo.so is loaded); without --build, the folder this program lies in.
// Each build's module is loaded into a link-map namespace of its own, with its own copies of the libraries it
// needs, so that builds of different versions (the version before a change) run side by side without sharing
// a single object. All builds read one installation root: links to this checkout's data/ in a temporary
// folder. The first calculation of each build and position is an untimed warm-up (the material database is
// opened once per process); at the end the calculated files of the builds are compared byte for byte.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The exports of one build's module and of the XML library it was built with (positions are its documents).
struct Build {
  std::string name;
  void* library = nullptr;
  int (*calc)(int, int) = nullptr;
  int (*open)(const char*) = nullptr;
  int (*save)(int) = nullptr;
  int (*close)(int) = nullptr;
  int (*root)(int) = nullptr;
  int (*firstChild)(int, const char*) = nullptr;
  int (*remove)(int) = nullptr;
  int (*setEnv)(const char*, const char*, int) = nullptr;
};

template <typename F>
bool Resolve(void* library, const char* name, F& function, std::string& error) {
  function = reinterpret_cast<F>(dlsym(library, name));
  if (!function) error += std::string(error.empty() ? "" : ", ") + name;
  return function != nullptr;
}

std::unique_ptr<Build> Load(const std::string& folder, std::string& error) {
  const fs::path path = fs::absolute(fs::path(folder) / "bin" / "libkolumo.so");
  auto build = std::make_unique<Build>();
  build->name = fs::path(folder).lexically_normal().string();
  build->library = dlmopen(LM_ID_NEWLM, path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!build->library) {
    const char* reason = dlerror();
    error = path.string() + ": " + (reason ? reason : "cannot be loaded");
    return nullptr;
  }
  // dlsym on the module's handle searches the module and the libraries it needs, in its own namespace.
  std::string missing;
  void* l = build->library;
  Resolve(l, "calcFunc", build->calc, missing);
  Resolve(l, "VIDUV_OpenDoc", build->open, missing);
  Resolve(l, "VIDUV_SaveDoc", build->save, missing);
  Resolve(l, "VIDUV_CloseDoc", build->close, missing);
  Resolve(l, "VIDUV_GetRootElement", build->root, missing);
  Resolve(l, "VIDUV_FindFirstChild", build->firstChild, missing);
  Resolve(l, "VIDUV_DeleteElement", build->remove, missing);
  Resolve(l, "setenv", build->setEnv, missing);
  if (!missing.empty()) {
    error = path.string() + ": lacks " + missing;
    return nullptr;
  }
  return build;
}

struct Position {
  std::string name;
  fs::path original;
};

fs::path g_work;
std::string g_root;
std::vector<std::unique_ptr<Build>> g_builds;

fs::path WorkFile(std::size_t b, const Position& position) {
  return g_work / (position.name + "." + std::to_string(b) + ".tqx");
}

// A fresh copy of the position, opened with the results of earlier runs removed, as the host does.
int OpenFresh(const Build& build, const fs::path& file, const Position& position) {
  fs::copy_file(position.original, file, fs::copy_options::overwrite_existing);
  const int doc = build.open(file.c_str());
  if (!doc) return 0;
  const int top = build.root(doc);
  for (int old = build.firstChild(top, "result"); old; old = build.firstChild(top, "result")) build.remove(old);
  return doc;
}

// Saves and closes the calculated position; false when the calculation left no results (the module's way of
// saying it failed).
bool Finish(const Build& build, int doc) {
  const int result = build.firstChild(build.root(doc), "result");
  const bool done = result && build.firstChild(result, "Schnittgroessen");
  build.save(doc);
  build.close(doc);
  return done;
}

void BM_Calc(benchmark::State& state, std::size_t b, Position position) {
  const Build& build = *g_builds[b];
  const fs::path file = WorkFile(b, position);
  for (auto _ : state) {
    state.PauseTiming();
    const int doc = OpenFresh(build, file, position);
    if (!doc) {
      state.SkipWithError("the position cannot be opened");
      break;
    }
    build.setEnv("KOLUMO_ROOT", g_root.c_str(), 1);
    state.ResumeTiming();
    build.calc(doc, 0);
    state.PauseTiming();
    const bool done = Finish(build, doc);
    state.ResumeTiming();
    if (!done) {
      state.SkipWithError("the calculation gave no results");
      break;
    }
  }
}

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "calc_inprocess_bench: %s\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<std::string> folders;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--build=", 0) != 0) return Fail("unknown argument \"" + arg + "\"; usage: [--build=DIR ...]");
    folders.push_back(arg.substr(8));
  }
  if (folders.empty()) folders.push_back(fs::canonical("/proc/self/exe").parent_path().parent_path().string());

  const fs::path source = KOLUMO_SOURCE_DIR;
  g_work = fs::temp_directory_path() / ("kolumo-calc-bench-" + std::to_string(::getpid()));
  struct Cleanup {
    ~Cleanup() {
      std::error_code ignored;
      fs::remove_all(g_work, ignored);
    }
  } cleanup;
  fs::create_directories(g_work / "root");
  for (const fs::directory_entry& entry : fs::directory_iterator(source / "data"))
    fs::create_directory_symlink(entry.path(), g_work / "root" / entry.path().filename());
  g_root = (g_work / "root").string();

  const std::vector<Position> positions = {{"rect", source / "data/examples/Stuetze.tqx"},
                                           {"circ", g_work / "circ.orig.tqx"}};
  const std::string make = "python3 '" + (source / "bench/circle_column.py").string() + "' '" +
                           positions[0].original.string() + "' '" + positions[1].original.string() + "'";
  if (std::system(make.c_str()) != 0) return Fail("the circular column could not be made: " + make);

  // a module may read its root while it is loaded; a namespace starts with the environment of its loader
  ::setenv("KOLUMO_ROOT", g_root.c_str(), 1);
  for (const std::string& folder : folders) {
    std::string error;
    auto build = Load(folder, error);
    if (!build) return Fail(error);
    g_builds.push_back(std::move(build));
  }
  // Warm-up, and the calculated files to compare.
  for (std::size_t b = 0; b < g_builds.size(); ++b)
    for (const Position& position : positions) {
      const fs::path file = WorkFile(b, position);
      const int doc = OpenFresh(*g_builds[b], file, position);
      bool done = false;
      if (doc) {
        g_builds[b]->setEnv("KOLUMO_ROOT", g_root.c_str(), 1);
        g_builds[b]->calc(doc, 0);
        done = Finish(*g_builds[b], doc);
      }
      if (!done) return Fail(g_builds[b]->name + ": " + position.name + " gave no results");
      const std::string kept = (g_work / (position.name + "." + std::to_string(b))).string();
      fs::copy_file(file, kept + ".result");
      fs::copy_file(file.string() + ".kolumoorg.txt", kept + ".protocol");
    }
  for (const Position& position : positions)
    for (std::size_t b = 1; b < g_builds.size(); ++b)
      for (const char* what : {"result", "protocol"}) {
        const auto kept = [&](std::size_t k) {
          return g_work / (position.name + "." + std::to_string(k) + "." + what);
        };
        const bool same = Contents(kept(0)) == Contents(kept(b));
        std::fprintf(stderr, "%s: %s of build %zu %s that of build 0\n", position.name.c_str(),
                     what == std::string("result") ? "calculated file" : "engine protocol", b,
                     same ? "is byte for byte" : "DIFFERS from");
      }

  // Builds alternate within each position, so that both see the same load of the machine.
  for (const Position& position : positions)
    for (std::size_t b = 0; b < g_builds.size(); ++b)
      benchmark::RegisterBenchmark(("calc/" + position.name + "/" + std::to_string(b)).c_str(), BM_Calc, b, position)
          ->Unit(benchmark::kMillisecond)
          ->MeasureProcessCPUTime()
          ->UseRealTime();
  for (std::size_t b = 0; b < g_builds.size(); ++b)
    std::fprintf(stderr, "build %zu: %s\n", b, g_builds[b]->name.c_str());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
