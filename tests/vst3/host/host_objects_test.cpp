#include "vst3/abi/Vst3.h"
#include "vst3/host/AttributeList.h"
#include "vst3/host/ComponentHandler.h"
#include "vst3/host/HostApplication.h"
#include "vst3/host/Strings.h"

#include <gtest/gtest.h>

using namespace vst3host;

TEST(HostApplicationContext, NamesTheHostAndCreatesMessagesAndAttributeLists)
{
  auto host = MakeCom<HostApplication>("Calvorin Test Host");
  auto app = QueryInterface<vst3::IHostApplication>(static_cast<vst3::IHostApplication*>(host.Get()));
  ASSERT_TRUE(app);
  vst3::String128 name{};
  ASSERT_EQ(app->getName(name), vst3::kResultOk);
  EXPECT_EQ(Utf16ToUtf8(name), "Calvorin Test Host");

  vst3::TUID messageIid;
  std::memcpy(messageIid, vst3::IMessage::iid, 16);
  void* obj = nullptr;
  ASSERT_EQ(app->createInstance(messageIid, messageIid, &obj), vst3::kResultOk);
  auto message = ComPtr<vst3::IMessage>::Adopt(static_cast<vst3::IMessage*>(obj));
  message->setMessageID("TextMessage");
  EXPECT_STREQ(message->getMessageID(), "TextMessage");
  ASSERT_NE(message->getAttributes(), nullptr);
  EXPECT_EQ(message->getAttributes()->setInt("n", 5), vst3::kResultOk);

  vst3::TUID listIid;
  std::memcpy(listIid, vst3::IAttributeList::iid, 16);
  ASSERT_EQ(app->createInstance(listIid, listIid, &obj), vst3::kResultOk);
  ComPtr<vst3::IAttributeList>::Adopt(static_cast<vst3::IAttributeList*>(obj));

  vst3::TUID other;
  std::memcpy(other, vst3::IComponent::iid, 16);
  obj = reinterpret_cast<void*>(1);
  EXPECT_NE(app->createInstance(other, other, &obj), vst3::kResultOk);
  EXPECT_EQ(obj, nullptr);

  auto support = QueryInterface<vst3::IPlugInterfaceSupport>(app);
  ASSERT_TRUE(support);
  EXPECT_EQ(support->isPlugInterfaceSupported(vst3::IAudioProcessor::iid), vst3::kResultTrue);
  EXPECT_EQ(support->isPlugInterfaceSupported(vst3::IPlugView::iid), vst3::kResultFalse);
}

TEST(HostAttributeList, TypedValuesAndByteSizedStringReads)
{
  auto list = MakeCom<AttributeList>();
  list->SetText("channel name", "Bass DI");
  ASSERT_EQ(list->setInt("channel name length", 7), vst3::kResultOk);

  vst3::int64 n = 0;
  ASSERT_EQ(list->getInt("channel name length", n), vst3::kResultOk);
  EXPECT_EQ(n, 7);
  double f = 0;
  EXPECT_EQ(list->getFloat("channel name length", f), vst3::kResultFalse) << "stored as an integer";
  EXPECT_EQ(list->getInt("missing", n), vst3::kResultFalse);
  EXPECT_EQ(list->getInt(nullptr, n), vst3::kInvalidArgument);

  vst3::TChar buf[16];
  std::fill(std::begin(buf), std::end(buf), u'#');
  ASSERT_EQ(list->getString("channel name", buf, sizeof buf), vst3::kResultOk);
  EXPECT_EQ(std::u16string(buf), u"Bass DI");

  // Size in bytes; a value that does not fit is cut without a terminator.
  std::fill(std::begin(buf), std::end(buf), u'#');
  ASSERT_EQ(list->getString("channel name", buf, 8), vst3::kResultOk);
  EXPECT_EQ(std::u16string(buf, 5), u"Bass#");

  const unsigned char png[3] = {0x89, 'P', 'N'};
  ASSERT_EQ(list->setBinary("channel image", png, 3), vst3::kResultOk);
  const void* data = nullptr;
  vst3::uint32 size = 0;
  ASSERT_EQ(list->getBinary("channel image", data, size), vst3::kResultOk);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(static_cast<const unsigned char*>(data)[1], 'P');
}

TEST(HostComponentHandler, RecordsEditsRestartsAndGroupEditsInOrder)
{
  auto handler = MakeCom<ComponentHandler>();
  vst3::IComponentHandler* h = handler.Get();
  h->beginEdit(3);
  h->performEdit(3, 0.25);
  h->performEdit(3, 0.5);
  h->endEdit(3);
  h->restartComponent(vst3::kLatencyChanged);
  auto h2 = QueryInterface<vst3::IComponentHandler2>(h);
  ASSERT_TRUE(h2);
  h2->startGroupEdit();
  h2->finishGroupEdit();
  h2->setDirty(1);

  const auto all = handler->Records();
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(all[0].call, ComponentHandler::Call::BeginEdit);
  EXPECT_EQ(all[3].call, ComponentHandler::Call::EndEdit);
  const auto edits = handler->Records(ComponentHandler::Call::PerformEdit);
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[1].id, 3u);
  EXPECT_EQ(edits[1].value, 0.5);
  EXPECT_EQ(handler->Records(ComponentHandler::Call::RestartComponent)[0].flags, vst3::kLatencyChanged);
  handler->Clear();
  EXPECT_TRUE(handler->Records().empty());
}
