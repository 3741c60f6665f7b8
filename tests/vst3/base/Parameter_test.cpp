#include "vst3/base/Parameter.h"

#include "vst3/base/StringConvert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace vst3;

namespace
{
std::u16string ToText(const Parameter& p, double v)
{
  String128 s{};
  p.toString(v, s);
  return s;
}
} // namespace

TEST(Vst3Parameter, ClampsDetectsChangesAndFormatsIndependentlyOfTheLocale)
{
  Parameter p(u"Depth", 7, u"%", 0.25);
  EXPECT_EQ(p.getInfo().id, 7u);
  EXPECT_EQ(p.getNormalized(), 0.25);
  EXPECT_FALSE(p.setNormalized(0.25));
  EXPECT_TRUE(p.setNormalized(3.0));
  EXPECT_EQ(p.getNormalized(), 1.0);
  EXPECT_TRUE(p.setNormalized(-1.0));
  EXPECT_EQ(p.getNormalized(), 0.0);
  EXPECT_FALSE(p.setNormalized(std::nan(""))) << "NaN keeps the last good value";
  EXPECT_EQ(p.getNormalized(), 0.0);

  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // may be missing; the result must not depend on it
  EXPECT_EQ(ToText(p, 0.5), u"0.5000");
  std::setlocale(LC_NUMERIC, saved.c_str());

  ParamValue v = 0;
  EXPECT_TRUE(p.fromString(u" 0.75", v));
  EXPECT_EQ(v, 0.75);
  EXPECT_FALSE(p.fromString(u"abc", v));

  Parameter toggle(u"Switch", 1, nullptr, 0.0, 1);
  EXPECT_EQ(ToText(toggle, 0.5), u"Off");
  EXPECT_EQ(ToText(toggle, 0.51), u"On");
}

TEST(Vst3StringListParameter, MapsEntriesToEvenlySpacedValues)
{
  StringListParameter p(u"Bypass", 65536);
  EXPECT_EQ(p.getInfo().stepCount, -1);
  p.appendString(u"off");
  p.appendString(u"on");
  EXPECT_EQ(p.getInfo().stepCount, 1);
  EXPECT_EQ(p.getInfo().flags, ParameterInfo::kCanAutomate | ParameterInfo::kIsList);
  EXPECT_EQ(ToText(p, 0.0), u"off");
  EXPECT_EQ(ToText(p, 0.5), u"on");
  EXPECT_EQ(ToText(p, 1.0), u"on");
  EXPECT_EQ(p.toPlain(0.49), 0.0);
  EXPECT_EQ(p.toPlain(std::nan("")), 0.0);
  EXPECT_EQ(p.toPlain(-5.0), 0.0);
  EXPECT_EQ(p.toPlain(1e300), 1.0);
  ParamValue v = -1;
  EXPECT_TRUE(p.fromString(u"on", v));
  EXPECT_EQ(v, 1.0);
  EXPECT_FALSE(p.fromString(u"ON", v));
  p.clear();
  EXPECT_EQ(p.toNormalized(1), 0.0);
}

TEST(Vst3ParameterContainer, KeepsInsertionOrderAndLooksUpById)
{
  ParameterContainer c;
  c.addParameter(std::make_unique<Parameter>(u"A", 65536));
  Parameter* b = c.addParameter(std::make_unique<Parameter>(u"B", kNoParamId));
  EXPECT_EQ(b->getInfo().id, 1u); // the count at insertion
  EXPECT_EQ(c.getParameterCount(), 2);
  EXPECT_EQ(c.getParameterByIndex(0)->getInfo().id, 65536u);
  EXPECT_EQ(c.getParameter(1), b);
  EXPECT_EQ(c.getParameter(2), nullptr);
  EXPECT_EQ(c.getParameterByIndex(-1), nullptr);
  EXPECT_EQ(c.getParameterByIndex(2), nullptr);
  c.removeAll();
  EXPECT_EQ(c.getParameter(65536), nullptr);
}
