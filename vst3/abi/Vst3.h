#pragma once

// Every declaration of the binary interface in one include.

#include "vst3/abi/AudioProcessor.h"
#include "vst3/abi/ChannelContext.h"
#include "vst3/abi/Component.h"
#include "vst3/abi/ContextMenu.h"
#include "vst3/abi/EditController.h"
#include "vst3/abi/Events.h"
#include "vst3/abi/FUnknown.h"
#include "vst3/abi/HostApplication.h"
#include "vst3/abi/LinuxRunLoop.h"
#include "vst3/abi/Message.h"
#include "vst3/abi/MidiMapping.h"
#include "vst3/abi/ParameterChanges.h"
#include "vst3/abi/PlugView.h"
#include "vst3/abi/PluginBase.h"
#include "vst3/abi/PluginFactory.h"
#include "vst3/abi/ProcessContext.h"
#include "vst3/abi/Speakers.h"
#include "vst3/abi/Stream.h"
#include "vst3/abi/Types.h"
#include "vst3/abi/Units.h"
