#pragma once
#include "resources/templates/templates.h"

// Each group of templates registers itself from one function; templates.cpp
// calls them all.
namespace resources {

void RegisterGalleryTemplate();
void RegisterTaskWindowTemplates();

}  // namespace resources
