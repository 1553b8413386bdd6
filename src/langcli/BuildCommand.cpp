// BuildCommand: `velmor build MODEL [-o DIR]`: a small CMake project in DIR
// that finds the Velmor package next to this executable and calls
// velmor_add_model; configured and built with the build's output in
// DIR/build.log, shown only when a step fails.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "lang/Checker.h"
#include "langcli/Commands.h"

namespace {

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string Absolute(const std::string& path) {
  char buf[PATH_MAX];
  if (realpath(path.c_str(), buf) == nullptr) return path;
  return buf;
}

// The folder holding VelmorConfig.cmake for this executable: the installed
// package (PREFIX/lib/cmake/Velmor, PREFIX/lib64/...) or the build tree
// (bin/..); empty when none is found.
std::string FindPackageDir() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "";
  buf[n] = '\0';
  std::string exe = buf;
  std::string prefix = exe.substr(0, exe.rfind('/'));
  prefix = prefix.substr(0, prefix.rfind('/'));
  for (const char* sub : {"/lib/cmake/Velmor", "/lib64/cmake/Velmor", ""}) {
    if (IsFile(prefix + sub + "/VelmorConfig.cmake")) return prefix + sub;
  }
  return "";
}

bool InPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::stringstream dirs(path);
  for (std::string d; std::getline(dirs, d, ':');) {
    if (!d.empty() && access((d + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Runs args with stdout and stderr appended to log; true on status 0.
bool RunLogged(const std::vector<std::string>& args, const std::string& log) {
  pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
      close(fd);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ShowLog(const std::string& log) {
  std::ifstream in(log);
  std::cerr << in.rdbuf();
}

void Build(const std::string& modelPath, std::string dir) {
  lang::Model model;
  lang::Diagnostics diag(modelPath);
  bool ok = lang::LoadModel(modelPath, model, diag);
  diag.Print(std::cerr);
  if (!ok) throw CLI::RuntimeError(1);
  std::string package = FindPackageDir();
  if (package.empty()) {
    std::cerr << "velmor: cannot find the Velmor CMake package next to this program" << std::endl;
    throw CLI::RuntimeError(1);
  }
  if (dir.empty()) dir = "build-" + model.name;
  if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
    std::cerr << "velmor: cannot create " << dir << ": " << std::strerror(errno) << std::endl;
    throw CLI::RuntimeError(1);
  }
  dir = Absolute(dir);
  std::string project = "cmake_minimum_required(VERSION 3.25)\nproject(" + model.name +
                        " CXX)\nfind_package(Velmor REQUIRED)\n"
                        "set(CMAKE_RUNTIME_OUTPUT_DIRECTORY \"" +
                        dir +
                        "\")\n"
                        "velmor_add_model(NAME " +
                        model.name + " MODEL \"" + Absolute(modelPath) + "\")\n";
  std::string listsPath = dir + "/CMakeLists.txt";
  std::ifstream oldLists(listsPath);
  std::string old((std::istreambuf_iterator<char>(oldLists)), std::istreambuf_iterator<char>());
  if (old != project) {
    std::ofstream lists(listsPath, std::ios::trunc);
    lists << project;
    if (!lists.flush()) {
      std::cerr << "velmor: cannot write " << listsPath << std::endl;
      throw CLI::RuntimeError(1);
    }
  }
  std::string log = dir + "/build.log";
  std::remove(log.c_str());
  std::vector<std::string> configure = {"cmake",
                                        "-S",
                                        dir,
                                        "-B",
                                        dir + "/cmake-build",
                                        "-DCMAKE_BUILD_TYPE=Release",
                                        "-DVelmor_DIR=" + package};
  if (InPath("ninja")) {
    configure.push_back("-G");
    configure.push_back("Ninja");
  }
  if (!IsFile(dir + "/cmake-build/CMakeCache.txt") && !RunLogged(configure, log)) {
    ShowLog(log);
    std::cerr << "velmor: configuring " << dir << " failed (log: " << log << ")" << std::endl;
    throw CLI::RuntimeError(1);
  }
  if (!RunLogged({"cmake", "--build", dir + "/cmake-build"}, log)) {
    ShowLog(log);
    std::cerr << "velmor: building " << dir << " failed (log: " << log << ")" << std::endl;
    throw CLI::RuntimeError(1);
  }
  std::cout << dir << "/" << model.name << "_sim" << std::endl;
}

}  // namespace

void AddBuildCommand(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  auto dir = std::make_shared<std::string>();
  CLI::App* cmd =
      app.add_subcommand("build", "Generate, compile and link a model's simulator; print its path");
  cmd->add_option("MODEL", *path, "the model file")->required();
  cmd->add_option("-o", *dir, "the build folder (default ./build-<model>)");
  cmd->callback([path, dir] { Build(*path, *dir); });
}
