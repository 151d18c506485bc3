#pragma once

namespace quenarch::qt {

// Forms store the widget's View as a choice now; those written when it was a text hold a text,
// which the form loader hands to the property as it is. Registers, once, the conversion from
// such a text to the choice, by the control's rule.
void registerViewTextConversion();

} // namespace quenarch::qt
