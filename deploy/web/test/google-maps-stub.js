// A stand-in of the parts of the Google Maps JavaScript API the route page
// uses, for the tests: routes are worked out from the coordinates (1.25
// times the great-circle distance) after a short delay; a destination at
// latitude 0 has no route. Calls are recorded in window.mapsStub.
(function () {
  'use strict';
  var me = document.currentScript;
  var query = me.src.split('?')[1] || '';
  function arg(name) {
    var m = new RegExp('(?:^|&)' + name + '=([^&]*)').exec(query);
    return m ? decodeURIComponent(m[1]) : null;
  }
  var delay = parseInt(arg('delay') || '30', 10);
  var stub = window.mapsStub = { key: arg('key'), callback: arg('callback'), requests: [], renderers: [] };

  function Listeners() { this.all = {}; }
  Listeners.prototype.add = function (name, fn) { (this.all[name] = this.all[name] || []).push(fn); };
  Listeners.prototype.fire = function (name, event) { (this.all[name] || []).forEach(function (fn) { fn(event); }); };

  function metres(a, b) {
    var r = Math.PI / 180, R = 6371008.8;
    var h = Math.pow(Math.sin((b.lat - a.lat) * r / 2), 2) +
            Math.cos(a.lat * r) * Math.cos(b.lat * r) * Math.pow(Math.sin((b.lng - a.lng) * r / 2), 2);
    return Math.round(2 * R * Math.asin(Math.sqrt(h)) * 1.25);
  }

  function Map(element, options) { this.element = element; this.options = options; this.listeners = new Listeners(); stub.map = this; }
  Map.prototype.addListener = function (name, fn) { this.listeners.add(name, fn); };

  function DirectionsService() {}
  DirectionsService.prototype.route = function (request, callback) {
    stub.requests.push(request);
    setTimeout(function () {
      if (request.destination.lat === 0) { callback(null, 'ZERO_RESULTS'); return; }
      var m = metres(request.origin, request.destination);
      callback({ routes: [{ legs: [{ distance: { value: m, text: (m / 1000).toFixed(1) + ' km' } }] }] }, 'OK');
    }, delay);
  };

  function DirectionsRenderer(options) { this.options = options; this.listeners = new Listeners(); this.result = null; stub.renderers.push(this); }
  DirectionsRenderer.prototype.addListener = function (name, fn) { this.listeners.add(name, fn); };
  DirectionsRenderer.prototype.setDirections = function (result) { this.result = result; this.listeners.fire('directions_changed'); };
  DirectionsRenderer.prototype.getDirections = function () { return this.result; };
  // What dragging the route on the map does: other legs, same event.
  stub.drag = function (legMetres) {
    var r = stub.renderers[stub.renderers.length - 1];
    r.setDirections({ routes: [{ legs: legMetres.map(function (v) { return { distance: { value: v } }; }) }] });
  };
  stub.click = function (lat, lng) {
    stub.map.listeners.fire('click', { latLng: { lat: function () { return lat; }, lng: function () { return lng; } } });
  };

  window.google = { maps: { Map: Map, DirectionsService: DirectionsService, DirectionsRenderer: DirectionsRenderer,
                            TravelMode: { DRIVING: 'DRIVING' } } };
  setTimeout(function () { window[stub.callback](); }, delay);
})();
