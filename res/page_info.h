#pragma once
// Resource ids: Info page (template 108).
