// A layer linked alone needs one source of its own; the layer brings the rest.
