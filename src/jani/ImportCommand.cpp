#include "jani/ImportCommand.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "jani/Importer.h"

namespace {

struct ImportArgs {
  std::string file, output, constants, properties;
  velmor::jani::MeasureOptions measures;
};

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::stringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) items.push_back(item);
  return items;
}

void Fail(const std::string& message) {
  std::cerr << message << "\n";
  throw CLI::RuntimeError(1);
}

void RunImport(const ImportArgs& args) {
  velmor::jani::ImportOptions options;
  options.measures = args.measures;
  options.source = args.file;
  for (const std::string& item : SplitList(args.constants)) {
    auto eq = item.find('=');
    if (eq == std::string::npos || eq == 0)
      Fail("velmor import: --constants expects NAME=VALUE,..., got '" + item + "'");
    options.constants[item.substr(0, eq)] = item.substr(eq + 1);
  }
  for (const std::string& item : SplitList(args.properties))
    if (!item.empty()) options.measures.only.push_back(item);
  std::ifstream in(args.file, std::ios::binary);
  if (!in) Fail(args.file + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  std::string model;
  try {
    model = velmor::jani::ImportJani(text.str(), options);
  } catch (const velmor::jani::JaniError& e) {
    std::string path = e.path().empty() ? "/" : e.path().substr(e.path()[0] == '/' ? 1 : 0);
    Fail(args.file + ": " + path + ": " + e.what());
  }
  std::string temp = args.output + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << model;
    out.close();
    if (!out) {
      std::remove(temp.c_str());
      Fail(args.output + ": cannot be written");
    }
  }
  if (std::rename(temp.c_str(), args.output.c_str()) != 0) {
    std::remove(temp.c_str());
    Fail(args.output + ": cannot be written");
  }
}

}  // namespace

void AddImportCommand(CLI::App& app) {
  auto args = std::make_shared<ImportArgs>();
  CLI::App* cmd =
      app.add_subcommand("import", "translate a JANI model (ctmc, ma) into a model file");
  cmd->add_option("file", args->file, "the JANI file")->required();
  cmd->add_option("-o", args->output, "the model file to write")->required();
  cmd->add_option("--constants", args->constants, "values of open constants: NAME=VALUE,...");
  cmd->add_option("--properties", args->properties,
                  "the properties to import: NAME,... (default all)");
  cmd->add_option("--horizon", args->measures.horizon,
                  "unbounded properties: the time by which a replication ends at the latest")
      ->check(CLI::PositiveNumber);
  cmd->add_option("--warmup", args->measures.warmup, "long-run averages: the warm-up time")
      ->check(CLI::NonNegativeNumber);
  cmd->add_option("--batch", args->measures.batch, "long-run averages: the batch length")
      ->check(CLI::PositiveNumber);
  cmd->callback([args] { RunImport(*args); });
}
