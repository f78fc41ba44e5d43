#pragma once
// Builds the 39 notebook pages, in page-number order.

#include <vector>

class ConsoleContext;
class Page;

std::vector<Page*> createPages(ConsoleContext& ctx);
