#pragma once
// The controls of the three page templates and the texts they start with.

#include "tavsetup/pages/page_controls.h"

namespace tav::setup {

const PageLayout& SerIdPageLayout();  // template 129
const PageLayout& VComPageLayout();   // template 130
const PageLayout& BidiPageLayout();   // template 131

}  // namespace tav::setup
