int vantrel_substitutes_anchor = 0;
