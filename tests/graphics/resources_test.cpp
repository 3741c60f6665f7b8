// The built-in font and logo, their lookup and the process-wide caches.

#include "graphics/ResourceCache.h"
#include "resources/EmbeddedResources.h"
#include "resources/ResourceLookup.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace igraphics
{
namespace
{

TEST(Resources, BuiltInBytesAreTheInstalledFontAndOurLogo)
{
  const ResourceView font = FindEmbeddedResource("Roboto-Regular.ttf");
  ASSERT_FALSE(font.Empty());
  std::ifstream in("/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf", std::ios::binary);
  const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(font.size, file.size());
  EXPECT_EQ(std::memcmp(font.data, file.data(), file.size()), 0);

  const ResourceView logo = FindEmbeddedResource("LOGO.SVG"); // names match without case
  ASSERT_FALSE(logo.Empty());
  EXPECT_NE(std::string(reinterpret_cast<const char*>(logo.data), logo.size).find("<svg"), std::string::npos);

  EXPECT_TRUE(FindEmbeddedResource("STEREO.SVG").Empty());
  EXPECT_TRUE(FindEmbeddedResource("").Empty());
}

TEST(Resources, LookupFallsBackToBuiltInBytesAndRefusesPaths)
{
  // Tests are not inside a bundle.
  EXPECT_EQ(BundleResourcesFolder(), "");
  auto logo = LoadResource("logo.svg");
  ASSERT_TRUE(logo.has_value());
  EXPECT_GT(logo->size(), 100u);
  EXPECT_FALSE(LoadResource("missing.svg").has_value());
  EXPECT_FALSE(LoadResource("../../etc/passwd").has_value());
  EXPECT_FALSE(LoadResource("/etc/passwd").has_value());
}

TEST(Resources, CacheReturnsTheSameObjectsAndSurvivesConcurrentLoads)
{
  ResourceCache& cache = ResourceCache::Get();
  std::vector<std::thread> threads;
  std::vector<const void*> docs(4), faces(4);
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&, i] {
      docs[i] = cache.LoadSVG("logo.svg").Document();
      cache.LoadFont("Roboto-Regular", "Roboto-Regular.ttf");
      faces[i] = cache.FindFont("Roboto-Regular");
    });
  for (auto& t : threads)
    t.join();
  for (int i = 0; i < 4; ++i)
  {
    EXPECT_NE(docs[i], nullptr);
    EXPECT_EQ(docs[i], docs[0]);
    EXPECT_NE(faces[i], nullptr);
    EXPECT_EQ(faces[i], faces[0]);
  }

  EXPECT_FALSE(cache.LoadFont("Nothing", "nothing.ttf"));
  EXPECT_EQ(cache.FindFont("Nothing"), nullptr);
  EXPECT_FALSE(cache.LoadSVG("nothing.svg").IsValid());
  const unsigned char junk[] = "<svg this is not";
  EXPECT_FALSE(cache.LoadSVGFromMemory("junk.svg", junk, sizeof(junk)).IsValid());
  EXPECT_FALSE(cache.LoadFontFromMemory("Junk", junk, sizeof(junk)));
}

} // namespace
} // namespace igraphics
