// The five reference designs run through the command line exactly as an engineer runs
// them: every result field filled, the balances closed and the sizing consistent with
// the heating-time and mean-difference formulas, the values in the ranges that hand
// books give for such equipment.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <sstream>

#include "CaseFiles.h"
#include "cli/CliRunner.h"
#include "fields/NumberFormat.h"

namespace pelmora {
namespace {

using testing_cases::CaseArgs;
constexpr double pi = std::numbers::pi;

struct Design {
  int code = -1;
  std::string out, err;
  std::map<std::string, std::string> text;
  std::string status1;
  bool Has(const std::string& n) const {
    auto it = text.find(n);
    return it != text.end() && !it->second.empty();
  }
  double operator[](const std::string& n) const {
    auto it = text.find(n);
    if (it == text.end()) ADD_FAILURE() << "no field " << n;
    auto v = ParseDecimal(it == text.end() ? "" : it->second);
    if (!v) ADD_FAILURE() << n << " holds '" << (it == text.end() ? "" : it->second) << "'";
    return v.value_or(NAN);
  }
};

// The "text" of every component line of the JSON print-out.
Design RunDesign(const std::string& name, std::vector<std::string> extra = {}) {
  std::vector<std::string> args = CaseArgs(name);
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back("--json");
  std::ostringstream out, err;
  Design d;
  d.code = RunCli(args, out, err);
  d.out = out.str();
  d.err = err.str();
  std::istringstream lines(d.out);
  std::string line;
  while (std::getline(lines, line)) {
    size_t q1 = line.find('"');
    size_t q2 = line.find('"', q1 + 1);
    size_t t = line.find("\"text\": \"");
    if (q1 == std::string::npos || q2 == std::string::npos || t == std::string::npos) continue;
    size_t end = line.find('"', t + 9);
    d.text[line.substr(q1 + 1, q2 - q1 - 1)] = line.substr(t + 9, end - t - 9);
  }
  size_t s = d.out.find("\"status\": [");
  if (s != std::string::npos) {
    size_t a = d.out.find("\", \"", s);
    size_t b = d.out.find('"', a + 4);
    d.status1 = d.out.substr(a + 4, b - a - 4);
  }
  return d;
}

const char* kResults[] = {"AtD", "ArD", "KTaD", "TTaD", "LtD", "LrD", "mD", "DpiD", "koD", "kiD", "QLD"};

void ExpectAllResults(const Design& d) {
  ASSERT_EQ(d.code, 0) << d.err;
  for (const char* n : kResults) EXPECT_TRUE(d.Has(n)) << n;
  EXPECT_EQ(d.text.at("AtD").find("E"), std::string::npos) << "area " << d.text.at("AtD");
}

// The relations every design obeys, whatever its mode.
void ExpectSizingRelations(const Design& d) {
  EXPECT_NEAR(d["ArD"], d["AtD"] * (1 + d["sfD"] / 100), 1e-9 * d["ArD"]);
  const double perTube = pi * d["nD"] * d["dioD"];
  EXPECT_NEAR(d["LtD"], d["AtD"] / perTube, 1e-4 * d["LtD"]);
  EXPECT_NEAR(d["LrD"], d["ArD"] / perTube, 1e-4 * d["LrD"]);
  // Heat balance over the heating time: Qo + Qi + QL tau = 0 (QL of the last pass).
  EXPECT_NEAR(d["QoD"] + d["QiD"] + d["QLD"] * d["TaoD"], 0, 1e-3 * std::fabs(d["QiD"]));
}

// 1/K from the film coefficients written by the design, steel tube wall (52.34).
double OverallK(const Design& d) {
  const double dout = d["dioD"], di = d["diiD"];
  const double R =
      1 / d["koD"] + d["RoD"] + (dout - di) * dout / (52.34 * (dout + di)) + (1 / d["kiD"] + d["RiD"]) * dout / di;
  return 1 / R;
}

TEST(Designs, HotWaterHeatedStorageTank) {
  Design d = RunDesign("storage_tank");
  ExpectAllResults(d);
  ExpectSizingRelations(d);
  // Vessel heat M cp (T2 - T1), solved and left to the user as computed.
  EXPECT_NEAR(d["QoD"], 20000 * 4180 * 40.0, 1e-6 * 3.344e9);
  // The tube flow that carries that heat (plus the loss) at 20 K of cooling.
  EXPECT_NEAR(d["WiD"], -d["QiD"] / (4190 * 20 * 14400.0), 1e-5 * d["WiD"]);
  // Time-mean difference of the arithmetic means: (90 + 70)/2 - (20 + 60)/2 = 40 K.
  EXPECT_NEAR(d["TTaD"], 40, 1e-9);
  EXPECT_NEAR(d["KTaD"], std::fabs(d["QiD"]) / (d["AtD"] * 40 * 14400), 1e-4 * d["KTaD"]);
  // Batch heating with a constant mean coil temperature and the loss to the air:
  // tau (K A + Ke Ae) = M cp ln((B - C T1)/(B - C T2)).
  const double K = OverallK(d), A = d["AtD"], Ke = d["KeD"], Ae = 40, Te = 15;
  const double B = K * A * 80 + Ke * Ae * Te, C = K * A + Ke * Ae;
  EXPECT_NEAR(14400 * (K * A + Ke * Ae), 20000 * 4180 * std::log((B - C * 20) / (B - C * 60)), 0.01 * 14400 * K * A);
  // Hand-book ranges: free convection of water on a coil, turbulent hot water in tubes.
  EXPECT_GT(d["koD"], 300);
  EXPECT_LT(d["koD"], 2000);
  EXPECT_GT(d["kiD"], 3000);
  EXPECT_LT(d["kiD"], 15000);
  EXPECT_GT(K, 300);
  EXPECT_LT(K, 1000);
  EXPECT_GT(A, 5);
  EXPECT_LT(A, 25);
  // Passes of one U: 2 Sl + (pi - 2) s do of the real tube length.
  EXPECT_NEAR(d["mD"], d["LrD"] / (2 * 1.2 + (pi - 2) * 2 * 0.032), 0.01 * d["mD"]);
  // Loss of the insulated tank: a few hundred watts, outer skin a little above the air.
  EXPECT_GT(d["QLD"], 100);
  EXPECT_LT(d["QLD"], 2000);
  EXPECT_GT(d["TwaD"], 15);
  EXPECT_LT(d["TwaD"], 20);
  EXPECT_GT(d["DpiD"], 1000);
  EXPECT_LT(d["DpiD"], 2e5);
  EXPECT_EQ(d.text.at("HTiD"), "放热流体");
  EXPECT_EQ(d.text.at("HToD"), "吸热流体");
}

TEST(Designs, SteamHeatedStorageTank) {
  Design d = RunDesign("steam_tank");
  ExpectAllResults(d);
  ExpectSizingRelations(d);
  // Saturated steam without non-condensables: W = |Qi| / (r tau).
  EXPECT_NEAR(d["WiD"], -d["QiD"] / (2133000 * 14400.0), 1e-5 * d["WiD"]);
  // Condensing steam: a film coefficient of many thousand W/(m2 K), well above the vessel side.
  EXPECT_GT(d["kiD"], 5000);
  EXPECT_LT(d["kiD"], 40000);
  EXPECT_GT(d["kiD"], 5 * d["koD"]);
  EXPECT_NEAR(d["TTaD"], 143.6 - 40, 1e-9);
  // Vapour velocity u rho / rho_v.
  EXPECT_NEAR(d["UivD"], d["UiD"] * 923 / 2.16, 1e-6 * d["UivD"]);
  EXPECT_GT(d["UivD"], 5);
  EXPECT_LT(d["UivD"], 60);
  // Hotter coil: far less area than the hot-water coil of the same tank.
  Design water = RunDesign("storage_tank");
  EXPECT_LT(d["AtD"], 0.6 * water["AtD"]);
  const double K = OverallK(d), A = d["AtD"], Ke = d["KeD"], Ae = 40, Te = 15;
  const double B = K * A * 143.6 + Ke * Ae * Te, C = K * A + Ke * Ae;
  EXPECT_NEAR(14400 * (K * A + Ke * Ae), 20000 * 4180 * std::log((B - C * 20) / (B - C * 60)), 0.01 * 14400 * K * A);
}

TEST(Designs, AgitatedStorageTank) {
  Design d = RunDesign("agitated_tank");
  ExpectAllResults(d);
  ExpectSizingRelations(d);
  // The turbine item: 1.01 (lambda/Ds) Re^0.62 Pr^(1/3) 1.05 on the coil (vessel heated).
  const double Re = 0.64 * 1.5 * 992 / 0.00065, Pr = 4180 * 0.00065 / 0.63;
  EXPECT_NEAR(d["koD"], 1.01 * 0.63 / 2.4 * std::pow(Re, 0.62) * std::cbrt(Pr) * 1.05, 1e-6 * d["koD"]);
  // Helical coil: turns of the real length.
  EXPECT_NEAR(d["mD"], d["LrD"] / std::hypot(pi * 1.6, 2 * 0.032), 0.01 * d["mD"]);
  EXPECT_NEAR(d["pHD"], 0.032 + (d["mD"] - 1) * 2 * 0.032, 1e-6);
  const double K = OverallK(d), A = d["AtD"], Ke = d["KeD"], Ae = 25, Te = 15;
  const double B = K * A * 80 + Ke * Ae * Te, C = K * A + Ke * Ae;
  EXPECT_NEAR(7200 * (K * A + Ke * Ae), 10000 * 4180 * std::log((B - C * 20) / (B - C * 60)), 0.01 * 7200 * K * A);
  EXPECT_EQ(d.status1, "");
}

TEST(Designs, TwoStreamVessel) {
  Design d = RunDesign("two_stream");
  ExpectAllResults(d);
  ExpectSizingRelations(d);
  EXPECT_DOUBLE_EQ(d["TaoD"], 1);
  EXPECT_NEAR(d["QoD"], 5 * 4180 * 20.0, 1e-3);
  // Counter-current ends 50 K and 40 K; F of one shell pass at R = 2/3, P = 3/7.
  const double lmtd = 10 / std::log(50.0 / 40);
  const double R = 20.0 / 30, P = 30.0 / 70, s = std::sqrt(R * R + 1);
  const double F =
      s / (R - 1) * std::log((1 - P) / (1 - R * P)) / std::log((2 - P * (R + 1 - s)) / (2 - P * (R + 1 + s)));
  EXPECT_NEAR(d["CdtD"], F, 1e-4);
  EXPECT_NEAR(d["TTaD"], F * lmtd, 1e-3 * lmtd);
  // The area carries the tube-side rate at the overall coefficient and corrected difference.
  EXPECT_NEAR(d["AtD"], std::fabs(d["QiD"]) / (d["KTaD"] * d["TTaD"]), 0.01 * d["AtD"]);
  EXPECT_NEAR(d["KTaD"], OverallK(d), 0.01 * d["KTaD"]);
  EXPECT_TRUE(d.Has("DpoD"));
  EXPECT_GT(d["koD"], 200);
  EXPECT_LT(d["koD"], 3000);
}

TEST(Designs, ConstantTemperatureBath) {
  Design d = RunDesign("bath");
  ExpectAllResults(d);
  ExpectSizingRelations(d);
  EXPECT_DOUBLE_EQ(d["Tom1D"], 79.5);  // heated bath: from 0.5 K below to 0.5 K above
  EXPECT_DOUBLE_EQ(d["Tom2D"], 80.5);
  EXPECT_NEAR(d["QoD"], 2 * 4190.0, 1e-6);
  // Water 95 -> 85 C against the bath at 80 C: the log mean of 15 and 5 K,
  // 10 / ln 3 = 9.10239 K.
  EXPECT_NEAR(d["TTaD"], 9.10239, 1e-5);
  // Holding the bath: the coil delivers load plus loss across K A dTlm.
  EXPECT_NEAR(std::fabs(d["QiD"]), OverallK(d) * d["AtD"] * 9.10239, 0.02 * std::fabs(d["QiD"]));
}

TEST(Designs, ASettledDesignRecalculatesToTheSameFields) {
  Design once = RunDesign("storage_tank");
  Design again = RunDesign("storage_tank", {"--recalc", "--recalc"});
  ASSERT_EQ(again.code, 0);
  for (const char* n : kResults) EXPECT_EQ(once.text.at(n), again.text.at(n)) << n;
}

}  // namespace
}  // namespace pelmora
