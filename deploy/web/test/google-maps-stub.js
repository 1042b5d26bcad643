// A stand-in of the parts of the Maps JavaScript API the route page uses, for
// the tests: google.maps.importLibrary("maps"/"routes"/"core"), Map,
// Route.computeRoutes, RouteMatrix.computeRouteMatrix and the error classes.
// It is as strict as the real library where the page could go wrong:
// a field mask is required and checked name by name, only the fields asked
// for come back, travelMode and routingPreference are checked, at most 25
// via points and 625 elements (100 when traffic-aware optimal), errors carry
// RPC status codes in the class hierarchy of the real library, and a failed
// element of a matrix reads as OK unless its "error" is in the mask.
// Distances are 1.25 times the great-circle distance along origin, via
// points and destination, in metres; a destination at latitude 0 has no
// route (ROUTE_NOT_FOUND).
//
// Options, in the script's query or in the query of the page that loads it:
//   delay=ms       time until each request is answered (default 30);
//                  mapsStub.delay changes it later
//   load=ms        time until the API has loaded and calls back (default 30);
//                  "never" leaves it loading
//   reject=key     the key is refused: gm_authFailure() runs after loading
//                  and every request fails with PERMISSION_DENIED
//   billing=1      every request fails: billing is not enabled
//   quota=1        every request fails with RESOURCE_EXHAUSTED
//   network=1      every request fails as if the connection were down
//   server=1       every request fails with a server error (UNAVAILABLE)
//   flaky=1        in the first matrix request the first site fails with a
//                  passing server error
//   broken=1       the first site of every matrix request fails (INVALID_ARGUMENT)
//   throw=1        the API's own code throws while loading
//   missing=1      the "routes" library comes without Route and RouteMatrix
//   unloadable=1   importLibrary fails
// Requests are recorded in mapsStub.routeRequests and mapsStub.matrixRequests.
(function () {
  'use strict';
  var me = document.currentScript;
  var queries = [me.src.split('?')[1] || '', location.search.replace(/^\?/, '')];
  function arg(name) {
    for (var i = 0; i < queries.length; ++i) {
      var m = new RegExp('(?:^|&)' + name + '=([^&]*)').exec(queries[i]);
      if (m) return decodeURIComponent(m[1]);
    }
    return null;
  }
  var stub = window.mapsStub = {
    key: arg('key'), callback: arg('callback'), loading: arg('loading'), channel: arg('v'),
    delay: parseInt(arg('delay') || '30', 10),
    routeRequests: [], matrixRequests: [], polylines: [], map: null
  };
  var MAX_ELEMENTS = 625, MAX_OPTIMAL_ELEMENTS = 100, MAX_INTERMEDIATES = 25;
  var TRAVEL_MODES = ['DRIVING', 'WALKING', 'BICYCLING', 'TRANSIT', 'TWO_WHEELER'];
  var PREFERENCES = ['TRAFFIC_UNAWARE', 'TRAFFIC_AWARE', 'TRAFFIC_AWARE_OPTIMAL'];
  var ROUTE_FIELDS = ['*', 'distanceMeters', 'durationMillis', 'staticDurationMillis', 'path', 'legs',
                      'viewport', 'description', 'warnings', 'travelAdvisory', 'localizedValues'];
  var MATRIX_FIELDS = ['*', 'distanceMeters', 'durationMillis', 'staticDurationMillis', 'condition', 'error',
                       'fallbackInfo', 'travelAdvisory', 'localizedValues'];

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
    MapsError.prototype.constructor = MapsError;
    return MapsError;
  }
  var MapsNetworkError = errorClass('MapsNetworkError', Error);
  var MapsRequestError = errorClass('MapsRequestError', MapsNetworkError);
  var MapsServerError = errorClass('MapsServerError', MapsNetworkError);
  function invalidValue(message) {
    var e = new Error(message);
    e.name = 'InvalidValueError';
    return e;
  }

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
      return MapsRequestError('PERMISSION_DENIED: Requests from this referer are blocked. (API_KEY_HTTP_REFERRER_BLOCKED)',
                              'PERMISSION_DENIED', endpoint);
    if (arg('billing'))
      return MapsRequestError('PERMISSION_DENIED: This API method requires billing to be enabled. (BILLING_DISABLED)',
                              'PERMISSION_DENIED', endpoint);
    if (arg('quota'))
      return MapsRequestError('RESOURCE_EXHAUSTED: Quota exceeded.', 'RESOURCE_EXHAUSTED', endpoint);
    if (arg('network'))
      return MapsNetworkError('Failed to fetch', undefined, endpoint);
    if (arg('server'))
      return MapsServerError('UNAVAILABLE: The service is currently unavailable.', 'UNAVAILABLE', endpoint);
    return null;
  }

  // What the real library refuses before sending anything, or null.
  function invalid(request, allowedFields) {
    if (!request || !Array.isArray(request.fields) || request.fields.length === 0)
      return invalidValue('InvalidValueError: fields: a response field mask is required');
    for (var i = 0; i < request.fields.length; ++i)
      if (allowedFields.indexOf(request.fields[i]) < 0)
        return invalidValue('InvalidValueError: fields: unknown field "' + request.fields[i] + '"');
    if (TRAVEL_MODES.indexOf(request.travelMode) < 0)
      return invalidValue('InvalidValueError: travelMode: not a TravelMode: ' + request.travelMode);
    if (request.routingPreference !== undefined && PREFERENCES.indexOf(request.routingPreference) < 0)
      return invalidValue('InvalidValueError: routingPreference: not a RoutingPreference: ' + request.routingPreference);
    return null;
  }

  function answer(request, endpoint, fields, check, make) {
    return new Promise(function (resolve, reject) {
      var refused = invalid(request, fields) || check();
      if (refused) { reject(refused); return; }
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
      return answer(request, 'ROUTES_COMPUTE_ROUTES', ROUTE_FIELDS, function () {
        if ((request.intermediates || []).length > MAX_INTERMEDIATES)
          return MapsRequestError('INVALID_ARGUMENT: Too many intermediates (' + request.intermediates.length + ')',
                                  'INVALID_ARGUMENT', 'ROUTES_COMPUTE_ROUTES');
        return null;
      }, function () {
        if (latLng(request.destination).lat === 0) return { routes: [] };
        var points = [request.origin].concat(request.intermediates || [], [request.destination]);
        return { routes: [new RouteResult(points, request.fields)] };
      });
    }
  };

  // The error of one element under the switches, or null.
  function elementError(index, requestNumber) {
    if (arg('flaky') && requestNumber === 1 && index === 0)
      return MapsServerError('UNAVAILABLE: try again', 'UNAVAILABLE', 'ROUTES_COMPUTE_ROUTE_MATRIX');
    if (arg('broken') && index === 0)
      return MapsRequestError('INVALID_ARGUMENT: the destination is not on a road', 'INVALID_ARGUMENT',
                              'ROUTES_COMPUTE_ROUTE_MATRIX');
    return null;
  }

  var RouteMatrix = {
    computeRouteMatrix: function (request) {
      stub.matrixRequests.push(request);
      var number = stub.matrixRequests.length;
      return answer(request, 'ROUTES_COMPUTE_ROUTE_MATRIX', MATRIX_FIELDS, function () {
        var limit = request.routingPreference === 'TRAFFIC_AWARE_OPTIMAL' ? MAX_OPTIMAL_ELEMENTS : MAX_ELEMENTS;
        if ((request.origins || []).length * (request.destinations || []).length > limit)
          return MapsRequestError('INVALID_ARGUMENT: too many elements', 'INVALID_ARGUMENT', 'ROUTES_COMPUTE_ROUTE_MATRIX');
        return null;
      }, function () {
        return { matrix: { rows: request.origins.map(function (origin) {
          return { items: request.destinations.map(function (destination, index) {
            var item = {};
            var error = elementError(index, number);
            var found = !error && latLng(destination).lat !== 0;
            if (wants(request.fields, 'condition'))
              item.condition = error ? 'ROUTE_MATRIX_ELEMENT_CONDITION_UNSPECIFIED' : found ? 'ROUTE_EXISTS' : 'ROUTE_NOT_FOUND';
            if (error && wants(request.fields, 'error')) item.error = error;
            if (found && wants(request.fields, 'distanceMeters')) item.distanceMeters = Math.round(metres(origin, destination));
            return item;
          }) };
        }) } };
      });
    }
  };

  var libraries = {
    maps: { Map: Map, Polyline: Polyline },
    routes: arg('missing') ? {} : { Route: Route, RouteMatrix: RouteMatrix },
    core: { MapsNetworkError: MapsNetworkError, MapsRequestError: MapsRequestError, MapsServerError: MapsServerError }
  };
  stub.click = function (lat, lng) {
    stub.map.listeners.fire('click', { latLng: { lat: function () { return lat; }, lng: function () { return lng; } } });
  };

  window.google = { maps: {
    importLibrary: function (name) {
      if (arg('unloadable'))
        return Promise.reject(MapsServerError('INTERNAL: could not load library ' + name, 'INTERNAL', 'UNKNOWN'));
      return libraries[name] ? Promise.resolve(libraries[name]) : Promise.reject(new Error('unknown library ' + name));
    },
    MapsNetworkError: MapsNetworkError, MapsRequestError: MapsRequestError, MapsServerError: MapsServerError
  } };
  if (arg('load') === 'never') return;
  setTimeout(function () {
    if (arg('throw')) throw new TypeError('Cannot read properties of undefined (reading \'attachShadow\')');
    if (stub.callback) window[stub.callback]();
    // The real API checks the key after the map has come up.
    if (arg('reject') === 'key' && window.gm_authFailure) setTimeout(window.gm_authFailure, 20);
  }, parseInt(arg('load') || '30', 10));
})();
