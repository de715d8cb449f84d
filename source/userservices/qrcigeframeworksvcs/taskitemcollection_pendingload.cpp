// Stand-in until the TaskItemList parser is merged: loads nothing. Removed with that merge.
#include "taskitemcollection.h"

HRESULT TaskItemCollection::Load(BSTR) { return E_NOTIMPL; }
