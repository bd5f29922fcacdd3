// The vessel definition page: wetted heat-loss areas of the four shapes against their
// closed forms, the depth iterations over the whole fill range, the volume group, the
// shape list, the copy into the calculation page, the impeller check and the tube count.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "app/PelmoraApp.h"

namespace pelmora {
namespace {

using std::numbers::pi;

struct GeometryTest : ::testing::Test {
  ScriptedPort port;
  PelmoraApp app{&port, "/tmp/"};
  TFormPelmora& f = app.form;

  // Fills the vessel page and leaves the given field as a user would.
  void Vessel(int shape, const std::string& V, const std::string& Kv, const std::string& D, const std::string& H = "",
              const std::string& W = "") {
    f.VND->UserSelect(shape);
    f.VsD->SetText(V);
    f.KvD->SetText(Kv);
    f.DsD->SetText(D);
    f.HsD->SetText(H);
    f.WsD->SetText(W);
    f.DcD->SetText("0");
  }
  bool Leave(EditD* e) {
    return app.Run([e] { e->Exit(); });
  }
  double Area() { return f.Ae1D->GetValue(); }
};

TEST_F(GeometryTest, WettedAreasOfTheFourShapes) {
  Vessel(0, "4.18879", "0.5", "2");  // sphere of radius 1 m, half full
  ASSERT_TRUE(Leave(f.KvD));
  EXPECT_NEAR(Area(), 2 * pi, 2e-4);
  EXPECT_EQ(f.Ae1D->GetColor(), 0xFEEFC9);

  Vessel(1, "9.42477796", "0.5", "2", "3");  // cylinder: half the wall and the bottom
  ASSERT_TRUE(Leave(f.KvD));
  EXPECT_NEAR(Area(), 4 * pi, 1e-9);

  Vessel(2, "2", "1", "2", "1", "1");  // full box 2 × 1 × 1
  ASSERT_TRUE(Leave(f.KvD));
  EXPECT_NEAR(Area(), 8, 1e-12);

  Vessel(3, "15.7079633", "0.5", "2", "5");  // horizontal tank, half full
  ASSERT_TRUE(Leave(f.KvD));
  EXPECT_NEAR(Area(), 5 * pi + 1.35 * pi, 1e-3);
  EXPECT_NEAR(Area(), 19.949, 1e-3);
  EXPECT_TRUE(f.MyStatusBar->PanelText(1).empty());
}

TEST_F(GeometryTest, HorizontalTankDepthHoldsTheFillOverTheWholeRange) {
  const double D = 2, r = 1;
  for (double kv : {1e-4, 0.01, 0.1, 0.25, 0.4, 0.49, 0.5, 0.51, 0.6, 0.75, 0.9, 0.99, 0.9999, 1.0}) {
    SCOPED_TRACE(kv);
    auto h = vessel::HorizontalTankDepth(D, kv);
    ASSERT_TRUE(h.has_value());
    if (kv <= 0.5) {
      EXPECT_GT(*h, 0);
      EXPECT_LE(*h, r);
    } else {
      EXPECT_GE(*h, r);
      EXPECT_LE(*h, D);
    }
    // The segment below the level: r²·acos((r − h)/r) − (r − h)·sqrt(2rh − h²).
    const double seg = r * r * std::acos((r - *h) / r) - (r - *h) * std::sqrt(std::max(0.0, 2 * r * *h - *h * *h));
    EXPECT_NEAR(seg / (pi * r * r), kv, 2e-5);
  }
  EXPECT_NEAR(*vessel::HorizontalTankDepth(D, 0.5), 1.0, 1e-4);
  // Symmetry: a quarter full and three quarters full mirror each other.
  EXPECT_NEAR(*vessel::HorizontalTankDepth(D, 0.25) + *vessel::HorizontalTankDepth(D, 0.75), D, 1e-4);
  // A small vessel (diameter below the starting offset) and a large one.
  for (double d : {0.0015, 0.3, 40.0}) {
    auto h = vessel::HorizontalTankDepth(d, 0.3);
    ASSERT_TRUE(h.has_value()) << d;
    EXPECT_GT(*h, 0);
    EXPECT_LT(*h, d / 2);
  }
}

TEST_F(GeometryTest, SphereDepthHoldsTheFillOverTheWholeRange) {
  for (double R : {0.2, 1.0, 7.0})
    for (double kv : {0.001, 0.1, 0.5, 0.8, 0.99, 1.0}) {
      SCOPED_TRACE(std::to_string(R) + " " + std::to_string(kv));
      auto h = vessel::SphereDepth(R, kv);
      ASSERT_TRUE(h.has_value());
      ASSERT_GT(*h, 0);
      ASSERT_LE(*h, 2 * R);
      const double cap = pi * *h * *h * (3 * R - *h) / 3;  // volume of the cap
      EXPECT_NEAR(cap / (4 * pi * R * R * R / 3), kv, kv == 1.0 ? 1e-4 : 2e-5);
    }
}

TEST_F(GeometryTest, FillOutsideZeroToOneIsReportedAndComputesNothing) {
  Vessel(3, "15.7", "0.5", "2", "5");
  ASSERT_TRUE(Leave(f.KvD));
  const std::string before = f.Ae1D->Text();
  for (const char* kv : {"1.5", "0", "-0.2"}) {
    for (int shape : {3, 0, 1}) {
      f.VND->SetItemIndex(shape);
      f.KvD->SetText(kv);
      EXPECT_TRUE(Leave(f.KvD)) << kv;
      EXPECT_EQ(f.MyStatusBar->PanelText(1), Geometry::kBadFill);
      EXPECT_EQ(f.Ae1D->Text(), before);
    }
  }
  EXPECT_TRUE(port.Messages().empty());
  // A valid fill again clears the warning.
  f.KvD->SetText("0.5");
  ASSERT_TRUE(Leave(f.KvD));
  EXPECT_TRUE(f.MyStatusBar->PanelText(1).empty());
}

TEST_F(GeometryTest, NonPositiveDimensionsAreReportedAndComputeNothing) {
  Vessel(3, "15.7", "0.5", "-2", "5");  // a negative diameter
  ASSERT_TRUE(Leave(f.KvD));
  EXPECT_EQ(f.MyStatusBar->PanelText(1), Geometry::kBadSize);
  EXPECT_EQ(f.Ae1D->Text(), "");
  Vessel(2, "2", "1", "2", "1", "0");  // a box without width
  ASSERT_TRUE(Leave(f.KvD));
  EXPECT_EQ(f.MyStatusBar->PanelText(1), Geometry::kBadSize);
  EXPECT_EQ(f.Ae1D->Text(), "");
  f.WsD->SetText("1");
  ASSERT_TRUE(Leave(f.WsD));
  EXPECT_NEAR(Area(), 8, 1e-12);
  EXPECT_TRUE(f.MyStatusBar->PanelText(1).empty());
  EXPECT_TRUE(port.Messages().empty());
}

TEST_F(GeometryTest, CylinderVolumeIsSolvedFromItsDimensions) {
  f.VND->UserSelect(1);
  f.DsD->SetText("2");
  f.DcD->SetText("0");
  f.HsD->SetText("3");
  ASSERT_TRUE(Leave(f.HsD));
  EXPECT_NEAR(f.VsD->GetValue(), 3 * pi, 1e-5);
  EXPECT_EQ(f.VsD->GetColor(), 0xFF80FF);
  EXPECT_TRUE(f.VsD->ReadOnly());
  // A centre column takes its share.
  f.DcD->SetText("1");
  ASSERT_TRUE(Leave(f.DcD));
  EXPECT_NEAR(f.VsD->GetValue(), pi * (1 - 0.25) * 3, 1e-5);
}

TEST_F(GeometryTest, TwoStreamVesselIsAFullCylinder) {
  f.RGEType->SetItemIndex(2);
  Vessel(1, "9.42477796", "0.3", "2", "3");
  ASSERT_TRUE(Leave(f.DsD));
  EXPECT_EQ(f.KvD->Text(), "1");
  EXPECT_NEAR(Area(), 6 * pi + pi, 1e-9);
  // A click in the shape list goes back to the cylinder and clears the geometry.
  f.VND->UserSelect(3);
  EXPECT_EQ(f.VND->ItemIndex(), 1);
  for (EditD* e : {f.VsD, f.KvD, f.WsD, f.HsD, f.DsD}) EXPECT_EQ(e->Text(), "") << e->Name();
  EXPECT_EQ(f.DcD->Text(), "0");
  EXPECT_EQ(f.Ae1D->Text(), "");
  EXPECT_EQ(f.Ae1D->GetColor(), colors::BtnFace);
  EXPECT_TRUE(f.Ae1D->ReadOnly());
  EXPECT_EQ(f.HsL->Caption(), "高度");
}

TEST_F(GeometryTest, ShapeListEnablesAndRelabelsTheDimensions) {
  f.DcD->SetText("");
  f.VND->UserSelect(2);
  EXPECT_EQ(f.DcD->Text(), "0");
  EXPECT_TRUE(f.WsD->Enabled() && f.WsL->Enabled() && f.WsU->Enabled());
  EXPECT_TRUE(f.HsD->Enabled());
  EXPECT_EQ(f.DsL->Caption(), "长度");
  EXPECT_EQ(f.HsL->Caption(), "高度");
  f.VND->UserSelect(3);
  EXPECT_FALSE(f.WsD->Enabled());
  EXPECT_EQ(f.DsL->Caption(), "直径");
  EXPECT_EQ(f.HsL->Caption(), "长度");
  f.VND->UserSelect(0);
  EXPECT_FALSE(f.HsD->Enabled() || f.HsL->Enabled() || f.HsU->Enabled());
  EXPECT_EQ(f.HsL->Caption(), "长度");  // the sphere leaves it
  // Choosing an agitator type clears the geometry too.
  f.DsD->SetText("3");
  f.mitD->UserSelect(1);
  EXPECT_EQ(f.DsD->Text(), "");
}

TEST_F(GeometryTest, VesselButtonCopiesAreaAndContentMass) {
  Vessel(1, "9.42477796", "0.5", "2", "3");
  ASSERT_TRUE(Leave(f.KvD));
  f.DenoD->SetText("1000");
  f.PageControl1->SetActivePage(f.TabSheet4);
  ASSERT_TRUE(app.Run([&] { f.BTVessel->Click(); }));
  EXPECT_NEAR(f.AeD->GetValue(), 4 * pi, 1e-9);
  EXPECT_NEAR(f.MaoD->GetValue(), 0.5 * 9.42477796 * 1000, 1e-6);
  EXPECT_EQ(f.PageControl1->ActivePage(), f.TabSheet2);
  // A mass the user typed stays.
  f.MaoD->SetText("100");
  ASSERT_TRUE(app.Run([&] { f.BTVessel->Click(); }));
  EXPECT_EQ(f.MaoD->Text(), "100");
}

TEST_F(GeometryTest, ImpellerAsLargeAsTheVesselIsRefused) {
  f.DsD->SetText("2");
  f.midD->SetText("2");
  f.SetProjectModified(false, true);
  ASSERT_TRUE(Leave(f.midD));
  EXPECT_EQ(f.MyStatusBar->PanelText(1), Geometry::kImpeller);
  ASSERT_EQ(port.events.size(), 1u);
  EXPECT_EQ(port.events[0].kind, PortEvent::Kind::Beep);
  EXPECT_FALSE(f.ProjectModified());
  f.midD->SetText("0.7");
  ASSERT_TRUE(Leave(f.midD));
  EXPECT_TRUE(f.ProjectModified());
  EXPECT_TRUE(f.MFSave->Enabled());
}

TEST_F(GeometryTest, TubeCountEstimate) {
  f.WiD->SetText("1");
  f.DeniD->SetText("1000");
  f.diiD->SetText("0.02");
  ASSERT_TRUE(app.Run([&] { f.SBn->Click(); }));
  EXPECT_EQ(f.nD->Text(), "2");  // 0.028 / (0.0004 · 31.623) ≈ 2.21
  f.WiD->SetText("0.01");
  ASSERT_TRUE(app.Run([&] { f.SBn->Click(); }));
  EXPECT_EQ(f.nD->Text(), "1");  // never below one tube
  // A condensing tube side uses the vapour density.
  f.PhiD->SetItemIndex(1);
  f.WiD->SetText("1");
  f.denivD->SetText("1");
  ASSERT_TRUE(app.Run([&] { f.SBn->Click(); }));
  EXPECT_EQ(f.nD->Text(), "70");  // 0.028 / 0.0004
}

}  // namespace
}  // namespace pelmora
