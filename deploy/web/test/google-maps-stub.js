// A stand-in of the parts of the Maps JavaScript API the route page uses, for
// the tests: google.maps.importLibrary("maps"/"routes"/"core"), Map,
// Route.computeRoutes, RouteMatrix.computeRouteMatrix and the error classes.
// Like the real API, both calls refuse a request without a field mask and
// give only the fields asked for; route.createPolylines() needs "path".
// Distances are 1.25 times the great-circle distance along origin, via
// points and destination, in metres; a destination at latitude 0 has no
// route (ROUTE_NOT_FOUND).
//
// Options in the script's query:
//   delay=ms       time until each request is answered (default 30);
//                  mapsStub.delay changes it later
//   load=ms        time until the API has loaded and calls back (default 30)
//   reject=key     the key is refused: gm_authFailure() runs after loading
//                  and every request fails with REQUEST_DENIED
//   quota=1        every request fails with OVER_QUERY_LIMIT
//   network=1      every request fails as if the connection were down
// Requests are recorded in mapsStub.routeRequests and mapsStub.matrixRequests.
(function () {
  'use strict';
  var me = document.currentScript;
  var query = me.src.split('?')[1] || '';
  function arg(name) {
    var m = new RegExp('(?:^|&)' + name + '=([^&]*)').exec(query);
    return m ? decodeURIComponent(m[1]) : null;
  }
  var stub = window.mapsStub = {
    key: arg('key'), callback: arg('callback'), loading: arg('loading'),
    delay: parseInt(arg('delay') || '30', 10),
    routeRequests: [], matrixRequests: [], polylines: [], map: null
  };
  var MAX_ELEMENTS = 625;

  // The API's error classes: MapsRequestError and MapsServerError extend
  // MapsNetworkError, which extends Error; each has code and endpoint.
  function errorClass(name, base) {
    function MapsError(message, code, endpoint) {
      var e = new Error(message);
      Object.setPrototypeOf(e, MapsError.prototype);
      e.name = name; e.code = code; e.endpoint = endpoint;
      return e;
    }
    MapsError.prototype = Object.create(base.prototype);
    return MapsError;
  }
  var MapsNetworkError = errorClass('MapsNetworkError', Error);
  var MapsRequestError = errorClass('MapsRequestError', MapsNetworkError);
  var MapsServerError = errorClass('MapsServerError', MapsNetworkError);

  function Listeners() { this.all = {}; }
  Listeners.prototype.add = function (name, fn) { (this.all[name] = this.all[name] || []).push(fn); };
  Listeners.prototype.fire = function (name, event) { (this.all[name] || []).forEach(function (fn) { fn(event); }); };

  function latLng(p) { return typeof p.lat === 'function' ? { lat: p.lat(), lng: p.lng() } : p; }
  function metres(a, b) {
    a = latLng(a); b = latLng(b);
    var r = Math.PI / 180, R = 6371008.8;
    var h = Math.pow(Math.sin((b.lat - a.lat) * r / 2), 2) +
            Math.cos(a.lat * r) * Math.cos(b.lat * r) * Math.pow(Math.sin((b.lng - a.lng) * r / 2), 2);
    return 2 * R * Math.asin(Math.sqrt(h)) * 1.25;
  }

  function Map(element, options) {
    this.element = element; this.options = options; this.listeners = new Listeners();
    stub.maps = (stub.maps || 0) + 1;
    stub.map = this;
  }
  Map.prototype.addListener = function (name, fn) { this.listeners.add(name, fn); };

  function Polyline(path) { this.path = path; this.map = null; stub.polylines.push(this); }
  Polyline.prototype.setMap = function (map) { this.map = map; };

  function wants(fields, name) { return fields.indexOf('*') >= 0 || fields.indexOf(name) >= 0; }

  // The failure every request meets under the switches, or null.
  function failure(endpoint) {
    if (arg('reject') === 'key')
      return MapsRequestError('Routes API: PERMISSION_DENIED: The provided API key is invalid.', 'REQUEST_DENIED', endpoint);
    if (arg('quota'))
      return MapsRequestError('Routes API: RESOURCE_EXHAUSTED: Quota exceeded.', 'OVER_QUERY_LIMIT', endpoint);
    if (arg('network'))
      return MapsNetworkError('Failed to fetch', 'UNKNOWN_ERROR', endpoint);
    return null;
  }

  function answer(request, endpoint, make) {
    return new Promise(function (resolve, reject) {
      if (!request || !Array.isArray(request.fields) || request.fields.length === 0) {
        // The real API refuses the call itself, before any request is sent.
        reject(new Error('InvalidValueError: fields: a response field mask is required'));
        return;
      }
      setTimeout(function () {
        var error = failure(endpoint);
        if (error) reject(error);
        else resolve(make());
      }, stub.delay);
    });
  }

  function RouteResult(points, fields) {
    var total = 0;
    for (var i = 1; i < points.length; ++i) total += metres(points[i - 1], points[i]);
    if (wants(fields, 'distanceMeters')) this.distanceMeters = Math.round(total);
    if (wants(fields, 'path')) this.path = points.map(latLng);
  }
  RouteResult.prototype.createPolylines = function () {
    if (!this.path) throw new Error('createPolylines: the field mask must include "path"');
    return [new Polyline(this.path)];
  };

  var Route = {
    computeRoutes: function (request) {
      stub.routeRequests.push(request);
      return answer(request, 'ROUTES_COMPUTE_ROUTES', function () {
        if (latLng(request.destination).lat === 0) return { routes: [] };
        var points = [request.origin].concat(request.intermediates || [], [request.destination]);
        return { routes: [new RouteResult(points, request.fields)] };
      });
    }
  };

  var RouteMatrix = {
    computeRouteMatrix: function (request) {
      stub.matrixRequests.push(request);
      if (request && request.origins && request.destinations &&
          request.origins.length * request.destinations.length > MAX_ELEMENTS)
        return Promise.reject(MapsRequestError('Routes API: INVALID_ARGUMENT: too many elements', 'INVALID_REQUEST',
                                               'ROUTES_COMPUTE_ROUTE_MATRIX'));
      return answer(request, 'ROUTES_COMPUTE_ROUTE_MATRIX', function () {
        return { matrix: { rows: request.origins.map(function (origin) {
          return { items: request.destinations.map(function (destination) {
            var item = {};
            var found = latLng(destination).lat !== 0;
            if (wants(request.fields, 'condition')) item.condition = found ? 'ROUTE_EXISTS' : 'ROUTE_NOT_FOUND';
            if (found && wants(request.fields, 'distanceMeters')) item.distanceMeters = Math.round(metres(origin, destination));
            return item;
          }) };
        }) } };
      });
    }
  };

  var libraries = {
    maps: { Map: Map, Polyline: Polyline },
    routes: { Route: Route, RouteMatrix: RouteMatrix },
    core: { MapsNetworkError: MapsNetworkError, MapsRequestError: MapsRequestError, MapsServerError: MapsServerError }
  };
  stub.click = function (lat, lng) {
    stub.map.listeners.fire('click', { latLng: { lat: function () { return lat; }, lng: function () { return lng; } } });
  };

  window.google = { maps: {
    importLibrary: function (name) {
      return libraries[name] ? Promise.resolve(libraries[name]) : Promise.reject(new Error('unknown library ' + name));
    },
    MapsNetworkError: MapsNetworkError, MapsRequestError: MapsRequestError, MapsServerError: MapsServerError
  } };
  setTimeout(function () {
    if (stub.callback) window[stub.callback]();
    if (arg('reject') === 'key' && window.gm_authFailure) window.gm_authFailure();
  }, parseInt(arg('load') || '30', 10));
})();
