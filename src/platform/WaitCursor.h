#pragma once

// The system wait and arrow cursors, set directly: the wait cursor stays
// until the arrow cursor is set.
void setWaitCursor();
void setArrowCursor();
