// ModelCommands: check, describe and generate.
#include <iostream>
#include <memory>
#include <string>

#include "lang/Checker.h"
#include "lang/Describe.h"
#include "lang/Generator.h"
#include "langcli/Commands.h"

namespace {

// Loads and checks path, printing every message on stderr; throws the
// status-1 exit when the model has an error.
void LoadOrFail(const std::string& path, lang::Model& model) {
  lang::Diagnostics diag(path);
  bool ok = lang::LoadModel(path, model, diag);
  diag.Print(std::cerr);
  if (!ok) throw CLI::RuntimeError(1);
}

}  // namespace

void AddCheckCommand(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand("check", "Check a model file: errors and warnings");
  cmd->add_option("MODEL", *path, "the model file")->required();
  cmd->callback([path] {
    lang::Model model;
    LoadOrFail(*path, model);
  });
}

void AddDescribeCommand(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  CLI::App* cmd = app.add_subcommand(
      "describe", "List a model's places, activities, derived arcs, rewards and experiments");
  cmd->add_option("MODEL", *path, "the model file")->required();
  cmd->callback([path] {
    lang::Model model;
    LoadOrFail(*path, model);
    lang::Describe(model, std::cout);
  });
}

void AddGenerateCommand(CLI::App& app) {
  auto path = std::make_shared<std::string>();
  auto dir = std::make_shared<std::string>();
  auto base = std::make_shared<std::string>();
  CLI::App* cmd =
      app.add_subcommand("generate", "Write the C++ of a model's simulator into a folder");
  cmd->add_option("MODEL", *path, "the model file")->required();
  cmd->add_option("DIR", *dir, "the output folder")->required();
  cmd->add_option("--basename", *base, "file names BASE.h and BASE.cpp (default <model>_model)");
  cmd->callback([path, dir, base] {
    lang::Model model;
    LoadOrFail(*path, model);
    std::string error;
    if (!lang::WriteGenerated(model, *dir, *base, error)) {
      std::cerr << "velmor: " << error << std::endl;
      throw CLI::RuntimeError(1);
    }
  });
}
