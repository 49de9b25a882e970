#pragma once
// The texts of the designer's object and band dialogs and of the editors' menu entries, as
// key=text lines the designer merges into the report library's text table at start.
const char* DesignerEditorsResourceBlock();
// Merges the block once.
void MergeDesignerEditorsTexts();
