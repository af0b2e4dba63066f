#include "AdapterChoice.h"

#include <cstdio>

#include "AdapterFields.h"
#include "platform/Formatted.h"
#include "update/ExchangeTexts.h"

namespace cli {
namespace {

std::string formatted(const char* pattern, const std::string& value) {
  return platform::formatted(pattern, value.c_str());
}

std::string nodesOf(const std::vector<platform::HidrawNode>& adapters) {
  std::string nodes;
  for (const auto& a : adapters) nodes += (nodes.empty() ? "" : "，") + a.node;
  return nodes;
}

// The rule line goes with the text, as the window's monitor prints it.
ExitCode refuseDenied(const platform::HidrawNode& adapter, Report& report) {
  const ExitCode exit = report.fail(formatted(texts::accessDenied, adapter.node).c_str(),
                                    failureOf(update::Outcome::denied), adapter.port);
  report.text("ringflash-cli: " + platform::accessRuleAdvice(adapter.vendorId, adapter.productId));
  return exit;
}

}  // namespace

std::optional<platform::HidrawNode> chooseAdapterFor(const std::vector<road::IdPair>& ids, const std::string& port,
                                                     bool forLens, Report& report, ExitCode& exit) {
  using update::Outcome;
  const road::AdapterChoice choice = road::chooseAdapter(platform::attachedHidrawNodes(), ids, port);
  if (choice.refused == Outcome::severalAdapters) {
    for (const auto& adapter : choice.candidates) report.event("adapter", adapterFields(adapter));
    const char* several = forLens ? texts::severalAdaptersForLens : texts::severalAdapters;
    exit = report.fail(formatted(several, nodesOf(choice.candidates)).c_str(), failureOf(Outcome::severalAdapters));
    return std::nullopt;
  }
  if (choice.refused == Outcome::mismatch) {
    exit = report.fail(texts::mismatch, failureOf(Outcome::mismatch), port);
    return std::nullopt;
  }
  if (choice.refused == Outcome::noAdapter) {
    exit = report.fail(forLens ? texts::noDeviceForLens : texts::noDevice, failureOf(Outcome::noAdapter), port);
    return std::nullopt;
  }
  report.event("adapter", adapterFields(*choice.adapter));
  if (choice.refused == Outcome::denied) {
    exit = refuseDenied(*choice.adapter, report);
    return std::nullopt;
  }
  return choice.adapter;
}

AdapterSet chooseAdaptersFor(const road::IdPair& ids, const std::vector<std::string>& ports, bool all, Report& report,
                             ExitCode& exit) {
  AdapterSet set;
  if (!all) {
    for (const std::string& port : ports.empty() ? std::vector<std::string>{""} : ports) {
      auto adapter = chooseAdapterFor({ids}, port, false, report, exit);
      if (!adapter) return {};  // a named adapter missing: none is written
      set.usable.push_back(std::move(*adapter));
    }
    return set;
  }
  for (auto& adapter : road::attachedAdapters({ids})) {
    report.event("adapter", adapterFields(adapter));
    if (!adapter.denied) {
      set.usable.push_back(std::move(adapter));
      continue;
    }
    exit = refuseDenied(adapter, report);
    set.refused.emplace_back(std::move(adapter), exit);
  }
  if (set.usable.empty() && set.refused.empty())
    exit = report.fail(texts::noDevice, failureOf(update::Outcome::noAdapter));
  return set;
}

}  // namespace cli
