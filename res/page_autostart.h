#pragma once
// Resource ids: Autostart page (template 107): lists, info text, action bar place.
