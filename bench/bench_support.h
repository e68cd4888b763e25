// What the benchmark programs share. Every measurement runs in a forked
// child, so each starts from a fresh heap and its peak resident memory can be
// read; the programs alternate their measurements round by round. A series
// of rounds gives a median and a spread (the middle half of the rounds, first
// to third quartile, so one disturbed round does not decide), and a ratio of
// two series is reported with the range the spreads allow: a goal counts as
// met only when even the least favourable pairing meets it. The benchmarks'
// operating-system calls (fork, wait, fsync) live here and nowhere else.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// The benchmarks' references sync what they write, as the library's saves do.
inline bool Fsync(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  return synced;
}

struct Sample {
  bool ok = false;
  double seconds = 0;
  double peakMb = 0;  // resident memory added by the measured step
};

inline long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0) return std::atol(line.c_str() + length + 1);
  }
  return 0;
}

// Runs `prepare` (untimed), then times `measure` in a child process; a
// measure that answers false fails the sample.
inline Sample InChild(const std::function<void()>& prepare, const std::function<bool()>& measure) {
  int ends[2];
  if (pipe(ends) != 0) return Sample();
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    prepare();
    // Resets the high-water mark to the current size, so the peak is the step's own.
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = StatusKb("VmRSS:");
    const auto start = std::chrono::steady_clock::now();
    Sample sample;
    sample.ok = measure();
    sample.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sample.peakMb = static_cast<double>(StatusKb("VmHWM:") - before) / 1024.0;
    if (write(ends[1], &sample, sizeof sample) != static_cast<ssize_t>(sizeof sample)) _exit(2);
    _exit(0);  // what the step built is left to the exit: tearing down is not part of it
  }
  close(ends[1]);
  Sample sample;
  if (read(ends[0], &sample, sizeof sample) != static_cast<ssize_t>(sizeof sample))
    sample = Sample();
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return sample;
}

class Series {
 public:
  void Add(const Sample& sample) {
    if (!sample.ok) {
      m_failed = true;
      return;
    }
    m_seconds.push_back(sample.seconds);
    m_peakMb = std::max(m_peakMb, sample.peakMb);
  }
  bool ok() const { return !m_failed && !m_seconds.empty(); }
  // The q-th quantile (0 fastest, 0.5 the median, 1 slowest), interpolated.
  double Quantile(double q) const {
    if (m_seconds.empty()) return 0;
    std::vector<double> sorted = m_seconds;
    std::sort(sorted.begin(), sorted.end());
    const double at = q * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - static_cast<double>(below));
  }
  double Median() const { return Quantile(0.5); }
  double Low() const { return Quantile(0.25); }
  double High() const { return Quantile(0.75); }
  double PeakMb() const { return m_peakMb; }

 private:
  std::vector<double> m_seconds;
  double m_peakMb = 0;
  bool m_failed = false;
};

struct Ratio {
  double median = 0;  // median over median
  double low = 0;     // our first quartile over the reference's third
  double high = 0;    // our third quartile over the reference's first
};

inline Ratio Compare(const Series& ours, const Series& reference) {
  return Ratio{ours.Median() / reference.Median(), ours.Low() / reference.High(),
               ours.High() / reference.Low()};
}

inline const char* Verdict(const Ratio& ratio, double goal) {
  if (ratio.high <= goal) return "met";
  if (ratio.low > goal) return "missed";
  return ratio.median <= goal ? "met at the median, within the noise"
                              : "missed at the median, within the noise";
}

inline void PrintSeries(const char* name, const Series& series, double megabytes) {
  if (!series.ok()) {
    std::printf("%-34s failed\n", name);
    return;
  }
  std::printf("%-34s median %7.3f s  (%.3f-%.3f)  %7.1f MB/s  peak +%.0f MB (%.2fx the file)\n",
              name, series.Median(), series.Low(), series.High(), megabytes / series.Median(),
              series.PeakMb(), series.PeakMb() / megabytes);
}

inline void PrintRatio(const char* what, const Ratio& ratio, double goal) {
  std::printf("%-44s %.2fx (range %.2f-%.2f), goal <= %.3gx: %s\n", what, ratio.median, ratio.low,
              ratio.high, goal, Verdict(ratio, goal));
}

// The number of rounds from the command line, at least five.
inline int Rounds(int argc, char** argv, int index) {
  return std::max(5, argc > index ? std::atoi(argv[index]) : 5);
}

}  // namespace bench
