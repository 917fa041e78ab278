#pragma once

// What a screen reader finds in the credits window: the window by its title,
// each text only while a sighted reader sees it, and a notification that says
// each entry once, when its name comes to rest.
namespace credits {

// Installs the interfaces of the credits window; again is harmless.
void installAccessibility();

} // namespace credits
