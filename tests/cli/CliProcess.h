#pragma once
// Runs the real pelmora-calc as a child process: exit status, signal, a bound on its
// time, and what it printed.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../common/ScratchFolder.h"

namespace pelmora::testing {

using Scratch = ScratchFolder;

struct CalcRun {
  int code = -1;
  bool signaled = false;
  int signal = 0;
  bool timedOut = false;
  std::string out, err;
};

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// `env`: variables set for the child only. A child still running after `seconds` is
// killed and reported as timed out.
inline CalcRun RunCalc(const std::vector<std::string>& args,
                       const std::vector<std::pair<std::string, std::string>>& env = {}, int seconds = 60) {
  static const std::string program = std::string(PELMORA_PROGRAM_DIR) + "/pelmora-calc";
  Scratch io;
  const std::string outPath = io / "out", errPath = io / "err";
  std::vector<std::string> argv0{program};
  argv0.insert(argv0.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv0) argv.push_back(a.data());
  argv.push_back(nullptr);
  CalcRun r;
  pid_t pid = fork();
  if (pid == 0) {
    int o = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int e = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (o < 0 || e < 0) _exit(126);
    dup2(o, 1);
    dup2(e, 2);
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  if (pid < 0) return r;
  int status = 0;
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  for (;;) {
    pid_t w = waitpid(pid, &status, WNOHANG);
    if (w == pid) break;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec - start.tv_sec >= seconds) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      r.timedOut = true;
      break;
    }
    usleep(2000);
  }
  if (WIFEXITED(status)) r.code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) {
    r.signaled = true;
    r.signal = WTERMSIG(status);
  }
  r.out = Slurp(outPath);
  r.err = Slurp(errPath);
  return r;
}

}  // namespace pelmora::testing
