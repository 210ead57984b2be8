#pragma once
// Resource ids: Processes page (template 106) and its context menu.
