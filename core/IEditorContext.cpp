#include "core/IEditorContext.h"

namespace iplug
{

IEditorContext::~IEditorContext() = default;

} // namespace iplug
