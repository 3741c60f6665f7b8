// Offscreen pictures of the real module's editor through the view's snapshot
// interface: no window and no X server involved.

#include "ModuleFixture.h"

#include "vst3/IEditorSnapshot.h"
#include "vst3/host/EditorSnapshot.h"

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace calvorin_test;

namespace
{

std::string SnapshotPath(const std::string& name)
{
  const auto dir = std::filesystem::path(CALVORIN_BINARY_DIR) / "test_output" / "integration";
  std::filesystem::create_directories(dir);
  const auto path = dir / (name + ".png");
  std::filesystem::remove(path);
  return path.string();
}

struct Png
{
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels; // 0xAARRGGBB, premultiplied as cairo stores them
};

Png ReadPng(const std::string& path)
{
  Png png;
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS)
  {
    png.width = cairo_image_surface_get_width(s);
    png.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    for (int y = 0; y < png.height; ++y)
      for (int x = 0; x < png.width; ++x)
        png.pixels.push_back(*reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4));
  }
  cairo_surface_destroy(s);
  return png;
}

std::size_t DistinctColours(const Png& png)
{
  return std::set<std::uint32_t>(png.pixels.begin(), png.pixels.end()).size();
}

// The module must draw without any display: hide the test's own, if any
// (an X11 display; Windows draws without one anyway).
class NoDisplay
{
#if !defined(_WIN32)
public:
  NoDisplay()
  {
    if (const char* d = std::getenv("DISPLAY"))
      mSaved = d;
    unsetenv("DISPLAY");
  }
  ~NoDisplay()
  {
    if (!mSaved.empty())
      setenv("DISPLAY", mSaved.c_str(), 1);
  }

private:
  std::string mSaved;
#else
public:
  NoDisplay() {} // nothing to hide
#endif
};

using ModuleEditorSnapshot = ModuleTest;

TEST_F(ModuleEditorSnapshot, DrawsTheEditorAtTheRequestedScaleWithoutAWindow)
{
  NoDisplay noDisplay;
  const std::string one = SnapshotPath("snapshot_scale1");
  ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, one, 1.f), "");
  const Png p1 = ReadPng(one);
  EXPECT_EQ(p1.width, 680);
  EXPECT_EQ(p1.height, 392);
  EXPECT_GT(DistinctColours(p1), 50u) << "a drawn editor, not a blank surface";

  const std::string two = SnapshotPath("snapshot_scale2");
  ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, two, 2.f), "");
  const Png p2 = ReadPng(two);
  EXPECT_EQ(p2.width, 1360);
  EXPECT_EQ(p2.height, 784);
  EXPECT_GT(DistinctColours(p2), 50u);

  const std::string odd = SnapshotPath("snapshot_scale1_25");
  ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, odd, 1.25f), "");
  const Png p3 = ReadPng(odd);
  EXPECT_EQ(p3.width, 850);
  EXPECT_EQ(p3.height, 490);
}

TEST_F(ModuleEditorSnapshot, ShowsTheCurrentParameterValues)
{
  NoDisplay noDisplay;
  const std::string before = SnapshotPath("snapshot_depth_default");
  ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, before, 1.f), "");
  const double depth = plugin->Controller()->getParamNormalized(kDepthId);
  ASSERT_EQ(plugin->Controller()->setParamNormalized(kDepthId, depth > 0.5 ? 0.05 : 0.95), vst3::kResultOk);
  const std::string after = SnapshotPath("snapshot_depth_changed");
  ASSERT_EQ(vst3host::RenderEditorSnapshot(*plugin, after, 1.f), "");

  const Png a = ReadPng(before), b = ReadPng(after);
  ASSERT_EQ(a.pixels.size(), b.pixels.size());
  // Only the DEPTH knob (in the global column, upper half) differs.
  int changed = 0, changedOutsideKnob = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.pixels[static_cast<std::size_t>(y * a.width + x)] != b.pixels[static_cast<std::size_t>(y * a.width + x)])
      {
        ++changed;
        if (x < 406 || x > 670 || y < 42 || y > 212)
          ++changedOutsideKnob;
      }
  EXPECT_GT(changed, 100);
  EXPECT_EQ(changedOutsideKnob, 0);
}

TEST_F(ModuleEditorSnapshot, FailuresAreReportedAndLeaveNoFile)
{
  NoDisplay noDisplay;
  const auto missingDir = std::filesystem::path(CALVORIN_BINARY_DIR) / "no_such_folder" / "x.png";
  const std::string unwritable = vst3host::RenderEditorSnapshot(*plugin, missingDir.string(), 1.f);
  EXPECT_NE(unwritable.find("could not be written"), std::string::npos) << unwritable;
  EXPECT_FALSE(std::filesystem::exists(missingDir));

  const std::string path = SnapshotPath("snapshot_refused");
  EXPECT_NE(vst3host::RenderEditorSnapshot(*plugin, path, 0.f), "");
  EXPECT_NE(vst3host::RenderEditorSnapshot(*plugin, path, 100.f), "");
  EXPECT_NE(vst3host::RenderEditorSnapshot(*plugin, "", 1.f), "");
  EXPECT_FALSE(std::filesystem::exists(path));

  // The view offers the interface; a null or empty name is refused there too.
  vst3::IPlugView* view = plugin->Controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  auto snapshot = vst3host::QueryInterface<iplug::IEditorSnapshot>(view);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->renderPng(nullptr), vst3::kInvalidArgument);
  EXPECT_EQ(snapshot->renderPng(""), vst3::kInvalidArgument);
  snapshot = {};
  view->release();
}

} // namespace
